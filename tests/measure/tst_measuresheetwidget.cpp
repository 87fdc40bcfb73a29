// The measurement sheet over a measuring scene driven by the mouse: rows follow the shapes as
// they are drawn, moved and undone, selection passes both ways, and the column chooser's choice
// reaches the sheet and its CSV.
#include "base.h"
#include "configstore.h"
#include "datadisplaydialog.h"
#include "graphicsitems.h"
#include "mainscene.h"
#include "measureitemcontroller.h"
#include "measuresheetwidget.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGraphicsView>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

class TestMeasureSheetWidget : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        // Every column and statistics row shown, whatever an earlier run stored.
        ConfigStore &store = ConfigStore::instance();
        for (int key = 0; key < MeasurementSheetKey::KeyCount; ++key)
            store.write(ConfigGroup::MeasurementSheetProperty, key, true);
        for (int key = 0; key < StatisticsKey::KeyCount; ++key)
            store.write(ConfigGroup::StatisticsProperty, key, true);
        m_scene = std::make_unique<MainScene>();
        m_scene->setSceneRect(0, 0, 400, 300);
        m_view = std::make_unique<QGraphicsView>(m_scene.get());
        m_view->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        m_view->setFrameShape(QFrame::NoFrame);
        m_view->resize(400, 300);
        m_view->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_view.get()));
        m_sheet = std::make_unique<MeasureSheetWidget>();
        m_sheet->setScene(m_scene.get());
        m_scene->setDrawMode(int(DrawType::Line));
        drawLine({10, 10}, {110, 10});
        drawLine({10, 50}, {40, 50});
        QTRY_COMPARE(m_scene->finishedTools().size(), 2);
    }

    void cleanup()
    {
        m_sheet.reset();
        m_view.reset();
        m_scene.reset();
    }

    void rowsFollowScene()
    {
        // Two shape rows, then the six statistics rows.
        QCOMPARE(m_sheet->rowCount(), 8);
        QCOMPARE(text(0, SheetColumn::Length), QStringLiteral("100.00pix"));
        QCOMPARE(text(1, SheetColumn::Name), QStringLiteral("Line"));
        QCOMPARE(text(2, SheetColumn::Number), QStringLiteral("Total"));
        QCOMPARE(text(3, SheetColumn::Length), QStringLiteral("65.0000"));

        // Dragging a point of the first line rewrites its row and the statistics.
        m_scene->finishedTools().first()->item()->handles().last()->setPos(70, 10);
        QCOMPARE(text(0, SheetColumn::Length), QStringLiteral("60.00pix"));
        QCOMPARE(text(3, SheetColumn::Length), QStringLiteral("45.0000"));

        // Undoing the second line drops its row and its values.
        m_scene->undoStack()->undo();
        QCOMPARE(m_sheet->rowCount(), 7);
        QCOMPARE(text(0, SheetColumn::Length), QStringLiteral("60.00pix"));
        QCOMPARE(text(1, SheetColumn::Length), QStringLiteral("1"));
        QCOMPARE(text(3, SheetColumn::Length), QStringLiteral("60.0000"));
    }

    void selectionBothWays()
    {
        const QList<Base *> tools = m_scene->finishedTools();
        QSignalSpy chosen(m_sheet.get(), &MeasureSheetWidget::selectedToolsChanged);
        m_sheet->selectRow(1);
        QVERIFY(!tools[0]->item()->isSelected() && tools[1]->item()->isSelected());
        QCOMPARE(chosen.last().first().value<QList<Base *>>(), QList<Base *>{tools[1]});

        tools[1]->item()->setSelected(false);
        tools[0]->item()->setSelected(true);
        QCOMPARE(m_sheet->selectionModel()->selectedRows().size(), 1);
        QCOMPARE(m_sheet->selectionModel()->selectedRows().first().row(), 0);

        // The controller edits the selected shape's kind.
        MeasureItemController controller;
        controller.setTools({tools[0]});
        QSignalSpy changed(&controller, &MeasureItemController::signalDrawChange);
        controller.findChild<QSpinBox *>(QStringLiteral("LineWidth"))->setValue(5);
        controller.findChild<QCheckBox *>(QStringLiteral("ShowLength"))->setChecked(false);
        QCOMPARE(changed.count(), 2);
        using Properties = QMap<DrawProperty, QVariant>;
        QCOMPARE(changed[0].first().value<Properties>(), (Properties{{DrawProperty::LineWidth, 5}}));
        QCOMPARE(changed[1].first().value<Properties>(), (Properties{{DrawProperty::LineShowLength, false}}));
    }

    void chooserReachesSheetAndCsv()
    {
        m_scene->finishedTools().last()->item()->setProperty(ItemData::layerName, QStringLiteral("B"));
        m_scene->finishedTools().last()->item()->signalItemMove();
        DataDisplayDialog dialog(m_sheet->layers(), QString());
        dialog.findChild<QCheckBox *>(QStringLiteral("MeasurementSheetArea_checkBox"))->setChecked(false);
        dialog.findChild<QCheckBox *>(QStringLiteral("StatisticsMean_checkBox"))->setChecked(false);
        auto *layer = dialog.findChild<QComboBox *>();
        layer->setCurrentIndex(layer->findText(QStringLiteral("B")));
        dialog.accept();
        m_sheet->setLayerFilter(dialog.layer());
        m_sheet->loadDisplaySettings();

        QVERIFY(m_sheet->isColumnHidden(SheetColumn::Area) && !m_sheet->isColumnHidden(SheetColumn::Length));
        QVERIFY(m_sheet->isRowHidden(0) && !m_sheet->isRowHidden(1));
        QCOMPARE(m_sheet->rowCount(), 7);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("sheet.csv"));
        QVERIFY(m_sheet->writeCsv(path));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QList<QByteArray> lines = file.readAll().split('\n');
        QCOMPARE(lines[0], QByteArray("Unit,pix"));
        QVERIFY(lines[2].contains("Length") && !lines[2].contains("Area"));
        QVERIFY2(lines[3].startsWith("2,Line,30.00pix,"), lines[3]);
        QVERIFY(lines[4].startsWith("Total,,1,"));
    }

private:
    QString text(int row, int column) const { return m_sheet->item(row, column)->text(); }

    void drawLine(const QPointF &from, const QPointF &to)
    {
        QTest::mouseClick(m_view->viewport(), Qt::LeftButton, {}, m_view->mapFromScene(from));
        QTest::mouseClick(m_view->viewport(), Qt::LeftButton, {}, m_view->mapFromScene(to));
    }

    std::unique_ptr<MainScene> m_scene;
    std::unique_ptr<QGraphicsView> m_view;
    std::unique_ptr<MeasureSheetWidget> m_sheet;
};

QTEST_MAIN(TestMeasureSheetWidget)
#include "tst_measuresheetwidget.moc"

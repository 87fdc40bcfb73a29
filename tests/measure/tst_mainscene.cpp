// The measuring scene driven by the mouse through a zoomed view: shapes complete after their
// clicks, in picture pixels, with their constraints; abandoning, double-click finishing, the
// finish hint and free-hand sampling; undo, shape numbers, layers and templates; drawing
// properties reaching marks, text and overlays; typing a free text; the layer table.
#include "base.h"
#include "graphicsgridlines.h"
#include "graphicsitems.h"
#include "layertablewidget.h"
#include "ltexteditdialog.h"
#include "mainscene.h"
#include "measuregeometry.h"
#include "measureshapes.h"

#include <QGraphicsView>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

Q_DECLARE_METATYPE(Base *)

namespace {

using Points = QVector<QPointF>;

// Points in general position: no three of the first six on a line.
// The second point differs from the first in x and y, and the third makes a right angle there.
const Points kPattern{{100, 100}, {160, 180}, {240, 120}, {150, 250}, {60, 200}, {50, 60}};
const QVector<Points> kLines{{{100, 100}, {160, 180}}, {{240, 120}, {150, 250}}, {{60, 200}, {50, 60}}};

// Kind, layer, number and points of every finished shape, in row order.
QStringList describe(const MainScene &scene)
{
    QStringList shapes;
    for (const Base *tool : scene.finishedTools()) {
        QString text = QStringLiteral("%1 %2 [%3]")
                           .arg(tool->typeName(), MainScene::layerOf(tool))
                           .arg(MainScene::shapeNumber(tool));
        for (const QPointF &p : tool->points())
            text += QStringLiteral(" %1,%2").arg(p.x()).arg(p.y());
        shapes << text;
    }
    return shapes;
}

double dot(const QPointF &a, const QPointF &b)
{
    return a.x() * b.x() + a.y() * b.y();
}

double cross(const QPointF &a, const QPointF &b)
{
    return a.x() * b.y() - a.y() * b.x();
}

} // namespace

class TestMainScene : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        qRegisterMetaType<Base *>();
        m_scene = std::make_unique<MainScene>();
        m_scene->setSceneRect(0, 0, 400, 300);
        m_view = std::make_unique<QGraphicsView>(m_scene.get());
        m_view->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        m_view->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        m_view->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        m_view->setFrameShape(QFrame::NoFrame);
        m_view->setTransform(QTransform::fromScale(2, 2)); // zoomed: results stay in picture pixels
        m_view->resize(800, 600);
        m_view->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_view.get()));
    }

    void cleanup()
    {
        m_view.reset();
        m_scene.reset();
    }

    void clicksCompleteShape_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("entry"); // -1: no value checked
        QTest::addColumn<double>("value");
        for (const MeasureShapes::ToolKind &kind : MeasureShapes::toolKinds()) {
            if (kind.points == 0)
                continue;
            int entry = -1;
            double value = 0;
            if (kind.type == DrawType::Line || kind.type == DrawType::HLine || kind.type == DrawType::VLine) {
                entry = 0;
                value = kind.type == DrawType::Line ? 100 : kind.type == DrawType::HLine ? 60 : 80;
            } else if (kind.type == DrawType::RadiusCir) {
                entry = 1;
                value = 100;
            } else if (kind.type == DrawType::Cir) {
                entry = 1; // the hypotenuse of the right angle at the second point is the diameter
                value = std::hypot(140.0, 20.0) / 2;
            }
            QTest::newRow(kind.className) << int(kind.type) << entry << value;
        }
    }

    void clicksCompleteShape()
    {
        QFETCH(int, type);
        QFETCH(int, entry);
        QFETCH(double, value);
        const int clicks = MeasureShapes::toolKind(DrawType(type))->points;
        m_scene->setDrawMode(type);
        QSignalSpy inserted(m_scene.get(), &MainScene::itemInsert);
        QSignalSpy cropped(m_scene.get(), &MainScene::signalSendCropRect);
        QSignalSpy calibrated(m_scene.get(), &MainScene::caliOver);
        for (int i = 0; i < clicks - 1; ++i)
            click(kPattern[i]);
        QVERIFY(inserted.isEmpty() && cropped.isEmpty());
        click(kPattern[clicks - 1]);
        if (type == int(DrawType::CropRect)) {
            QTRY_COMPARE(cropped.count(), 1);
            QCOMPARE(cropped.first().first().toRectF(), QRectF(100, 100, 60, 80));
            QVERIFY(inserted.isEmpty());
            return;
        }
        if (type == int(DrawType::LCali) || type == int(DrawType::CCali)) {
            // No result: the length in pixels goes to the calibration (a circle's diameter).
            QTRY_COMPARE(calibrated.count(), 1);
            const double pixels =
                type == int(DrawType::LCali)
                    ? 100.0
                    : 2 * MeasureGeometry::circleThroughPoints(kPattern[0], kPattern[1], kPattern[2]).radius;
            QCOMPARE(calibrated.first().first().toDouble(), pixels);
            QVERIFY(inserted.isEmpty() && m_scene->finishedTools().isEmpty());
            return;
        }
        QTRY_COMPARE(inserted.count(), 1);
        Base *tool = inserted.first().first().value<Base *>();
        QCOMPARE(inserted.first().at(1).toInt(), 0);
        QCOMPARE(tool->drawType(), DrawType(type));
        QCOMPARE(tool->pointCount(), clicks);
        QCOMPARE(m_scene->finishedTools(), QList<Base *>{tool});
        QCOMPARE(tool->item()->property(ItemData::layerName).toString(), QStringLiteral("Background"));
        QVERIFY(tool->item()->property(ItemData::graphicsId).toInt() > 0);
        QVERIFY(!m_scene->currentTool());
        if (entry >= 0)
            QCOMPARE(tool->label()->entries().at(entry).value, value);
    }

    void rightClick()
    {
        m_scene->setDrawMode(int(DrawType::Cir));
        QSignalSpy cleared(m_scene.get(), &MainScene::clearDrawType);
        click({100, 100});
        click({160, 100});
        click({300, 250}, Qt::RightButton);
        // The partial circle is gone, the mode stays.
        QVERIFY(!m_scene->currentTool());
        QVERIFY(!hasItemOfType(ConnectItemType) && !hasItemOfType(PointItemType));
        QCOMPARE(m_scene->drawType(), int(DrawType::Cir));
        QVERIFY(cleared.isEmpty());

        // With nothing in progress, a right click on empty space leaves drawing.
        click({300, 250}, Qt::RightButton);
        QCOMPARE(cleared.count(), 1);
        QCOMPARE(m_scene->drawType(), int(MainScene::IdleMode));
    }

    void deleteAllIsOneUndoStep()
    {
        m_scene->setDrawMode(int(DrawType::Line));
        QSignalSpy inserted(m_scene.get(), &MainScene::itemInsert);
        for (const Points &line : {Points{{100, 100}, {160, 180}}, Points{{240, 120}, {150, 250}}}) {
            click(line[0]);
            click(line[1]);
        }
        // The second line's first press came during the first one's pause: both are kept.
        QTRY_COMPARE(inserted.count(), 2);
        const QList<Base *> shapes = m_scene->finishedTools();
        QSignalSpy removed(m_scene.get(), &MainScene::itemRemove);
        m_scene->slotDelAllItem();
        QVERIFY(m_scene->finishedTools().isEmpty());
        QCOMPARE(removed.count(), 2);
        QVERIFY(!hasItemOfType(ConnectItemType));
        m_scene->undoStack()->undo();
        QCOMPARE(m_scene->finishedTools(), shapes); // back in their rows
        QCOMPARE(inserted.count(), 4);
    }

    void pressOnExistingPointIsIgnored()
    {
        m_scene->setDrawMode(int(DrawType::Line));
        QSignalSpy inserted(m_scene.get(), &MainScene::itemInsert);
        click({100, 100});
        click({100, 100});
        QCOMPARE(m_scene->currentTool()->pointCount(), 2);
        click({130, 140});
        QTRY_COMPARE(inserted.count(), 1);
        QCOMPARE(inserted.first().first().value<Base *>()->label()->entries().first().value, 50.0);
    }

    void doubleClickFinishesOpenTools_data()
    {
        QTest::addColumn<int>("type");
        for (const MeasureShapes::ToolKind &kind : MeasureShapes::toolKinds()) {
            if (kind.points == 0)
                QTest::newRow(kind.className) << int(kind.type);
        }
    }

    void doubleClickFinishesOpenTools()
    {
        QFETCH(int, type);
        m_scene->setDrawMode(type);
        QSignalSpy inserted(m_scene.get(), &MainScene::itemInsert);
        GraphicsText *hint = m_scene->hintItem();
        for (int shape = 0; shape < 2; ++shape) {
            click(kPattern[0]);
            // The hint shows for the first shape of a kind only.
            QCOMPARE(hint->isVisible(), shape == 0);
            if (shape == 0)
                QCOMPARE(hint->text(), MainScene::finishHint());
            click(kPattern[1]);
            // A double click: its first press, then the double-click event.
            click(kPattern[2]);
            QTest::mouseDClick(m_view->viewport(), Qt::LeftButton, {}, at(kPattern[2]));
            QCOMPARE(inserted.count(), shape + 1);
            QCOMPARE(inserted.last().first().value<Base *>()->points(), kPattern.mid(0, 3));
            QVERIFY(!hint->isVisible());
        }
    }

    void constraintsHold_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<Points>("clicks");
        QTest::addColumn<bool>("shift");
        QTest::addColumn<bool>("parallel"); // of the first and the last segment; else square
        const QPointF right(1, 0);
        QTest::newRow("HLine") << int(DrawType::HLine) << Points{{100, 100}, {150, 130}} << false << true;
        QTest::newRow("ThreePointRect") << int(DrawType::ThreePointRect) << Points{{100, 100}, {160, 120}, {190, 150}}
                                        << false << false;
        QTest::newRow("FourPointParLine") << int(DrawType::FourPointParLine)
                                          << Points{{100, 100}, {160, 120}, {90, 200}, {190, 150}} << false << true;
        QTest::newRow("FourPointVerLine") << int(DrawType::FourPointVerLine)
                                          << Points{{100, 100}, {160, 120}, {90, 200}, {190, 150}} << false << false;
        QTest::newRow("ThreeAngShift") << int(DrawType::ThreeAng) << Points{{100, 100}, {160, 120}, {190, 230}} << true
                                       << false;
    }

    void constraintsHold()
    {
        QFETCH(int, type);
        QFETCH(Points, clicks);
        QFETCH(bool, shift);
        QFETCH(bool, parallel);
        m_scene->setDrawMode(type);
        QSignalSpy inserted(m_scene.get(), &MainScene::itemInsert);
        for (const QPointF &p : clicks) {
            move(p, shift ? Qt::ShiftModifier : Qt::NoModifier);
            click(p, Qt::LeftButton, shift ? Qt::ShiftModifier : Qt::NoModifier);
        }
        QTRY_COMPARE(inserted.count(), 1);
        const Points p = inserted.first().first().value<Base *>()->points();
        const QPointF first = p[1] - p[0];
        const QPointF last = p.last() - p[p.size() - 2];
        QVERIFY(p.last() != clicks.last()); // the free point would not do
        QVERIFY2(std::abs(parallel ? cross(first, last) : dot(first, last)) < 1e-6,
                 qPrintable(QStringLiteral("%1,%2").arg(p.last().x()).arg(p.last().y())));
    }

    void freeHandSamplesEveryTenPixels()
    {
        m_scene->setDrawMode(int(DrawType::AnyLine));
        click({100, 100});
        const QVector<QPair<QPointF, int>> steps{{{105, 100}, 2}, {{111, 100}, 3}, {{115, 100}, 3}, {{122, 100}, 4}};
        for (const auto &step : steps) {
            move(step.first);
            QCOMPARE(m_scene->currentTool()->pointCount(), step.second);
            QCOMPARE(m_scene->currentTool()->points().last(), step.first);
        }
    }

    // Undoing the latest shapes gives their numbers back; a redone shape keeps its own.
    void numbersFollowUndo()
    {
        QCOMPARE(draw(DrawType::Line, kLines).size(), 3);
        m_scene->onUndoOpt();
        m_scene->onUndoOpt();
        const Base *circle = draw(DrawType::Cir, {kPattern.mid(0, 3)}).value(0);
        QVERIFY(circle);
        QCOMPARE(MainScene::shapeNumber(circle), 2);
        QVERIFY(circle->label()->text().startsWith(QLatin1String("[2] ")));
        m_scene->onUndoOpt();
        m_scene->onRedoOpt();
        QCOMPARE(MainScene::shapeNumber(draw(DrawType::Line, {kLines[1]}).value(0)), 3);
    }

    // Moves in the selection mode are undo steps, at most twenty kept; a drag released on the
    // spot is none.
    void movesKeepTwentySteps()
    {
        Base *line = draw(DrawType::Line, {kLines[0]}).value(0);
        QVERIFY(line);
        const QPointF label = line->label()->pos();
        m_scene->setDrawMode(MainScene::SelectMode);
        QPointF end = kLines[0][1];
        drag(end, end);
        QCOMPARE(m_scene->undoStack()->count(), 1);
        for (int i = 0; i < 21; ++i, end += QPointF(5, 0))
            drag(end, end + QPointF(5, 0));
        QCOMPARE(line->points().last(), end);
        QCOMPARE(m_scene->undoStack()->count(), 20);
        while (m_scene->undoStack()->canUndo())
            m_scene->onUndoOpt();
        // The shape's adding and its first move fell off the stack.
        QCOMPARE(m_scene->finishedTools(), QList<Base *>{line});
        QCOMPARE(line->points().last(), kLines[0][1] + QPointF(5, 0));
        QCOMPARE(line->label()->pos(), label + QPointF(5, 0));
    }

    void deleteRowsUndoneInPlace()
    {
        const QList<Base *> lines = draw(DrawType::Line, kLines);
        QCOMPARE(lines.size(), 3);
        m_scene->onDeleteItemsRedo({2, 0, 2}, nullptr); // another view's rows
        QCOMPARE(m_scene->finishedTools(), lines);
        m_scene->onDeleteItemsRedo({2, 0, 2, 7}, m_scene.get());
        QCOMPARE(m_scene->finishedTools(), QList<Base *>{lines[1]});
        QVERIFY(!lines[0]->item()->scene() && !lines[2]->label()->scene());
        m_scene->onUndoOpt();
        QCOMPARE(m_scene->finishedTools(), lines);
        m_scene->onRedoOpt(); // the deleted shapes are freed with the scene
    }

    void layers()
    {
        const QString first = m_scene->nextLayerName();
        QCOMPARE(first, QStringLiteral("Layer 01"));
        QVERIFY(m_scene->addLayer(QLatin1Char(' ') + first));
        QVERIFY(!m_scene->addLayer(first) && !m_scene->addLayer(QStringLiteral(" ")));
        QCOMPARE(m_scene->nextLayerName(), QStringLiteral("Layer 02"));
        Base *inLayer = draw(DrawType::Line, {kLines[0]}).value(0);
        m_scene->onSetCurLayer(QStringLiteral("Background"));
        Base *inBackground = draw(DrawType::Line, {kLines[1]}).value(0);
        QVERIFY(inLayer && inBackground);
        QCOMPARE(MainScene::layerOf(inLayer), first);

        // Hidden, the shape keeps its row.
        m_scene->onSetLayerVisible(first, false);
        QVERIFY(!inLayer->item()->isVisible() && !inLayer->label()->isVisible());
        QVERIFY(inBackground->item()->isVisible());
        QCOMPARE(m_scene->finishedTools(), (QList<Base *>{inLayer, inBackground}));

        QVERIFY(m_scene->renameLayer(first, QStringLiteral("Cells")));
        QCOMPARE(MainScene::layerOf(inLayer), QStringLiteral("Cells"));
        QVERIFY(m_scene->removeLayer(QStringLiteral("Cells")));
        QCOMPARE(m_scene->finishedTools(), QList<Base *>{inBackground});
        QVERIFY(!m_scene->removeLayer(QStringLiteral("Background"))); // the last one
        m_scene->onUndoOpt();
        QCOMPARE(m_scene->finishedTools(), (QList<Base *>{inLayer, inBackground}));
        QVERIFY(!inLayer->item()->isVisible());
        m_scene->onUndoOpt();
        QCOMPARE(MainScene::layerOf(inLayer), first);
        QCOMPARE(m_scene->layerNames(), (QStringList{QStringLiteral("Background"), first}));

        // Deleted while hidden, brought back after the layer was shown: shown.
        m_scene->onDeleteItemsRedo({0}, m_scene.get());
        m_scene->onSetLayerVisible(first, true);
        m_scene->onUndoOpt();
        QVERIFY(inLayer->item()->isVisible() && inLayer->label()->isVisible());
    }

    // The layer table acts on its scene, follows what the scene does, and follows another scene.
    void layerTable()
    {
        using Table = ExpandableTableWidget;
        LayerWidget panel;
        const Table *table = panel.table();
        // Name, current, shown and shape count of each row.
        const auto rows = [table] {
            QStringList texts;
            for (int row = 0; row < table->rowCount(); ++row) {
                QString text = table->item(row, Table::NameColumn)->text().trimmed();
                for (int column : {Table::CurrentColumn, Table::ShowColumn})
                    text += table->item(row, column)->checkState() == Qt::Checked ? " +" : " -";
                texts << (text + ' ' + table->item(row, Table::ShapesColumn)->text()).trimmed();
            }
            return texts;
        };
        QStringList proposals;
        QString answer = " Cells ";
        panel.setNameAsker([&](const QString &proposal) {
            proposals << proposal;
            return answer;
        });
        panel.setScene(m_scene.get());
        panel.findChild<QPushButton *>("newLayer_btn")->click();
        QCOMPARE(proposals, QStringList{"Layer 01"});
        draw(DrawType::Line, {kLines[0]});
        QCOMPARE(rows(), (QStringList{"Background - + 0", "Cells + + 1"}));

        panel.table()->onCellClicked(1, Table::ShowColumn);
        panel.table()->onCellClicked(0, Table::CurrentColumn);
        panel.table()->onCellClicked(1, Table::NameColumn); // expanded: its line below it
        QVERIFY(!m_scene->isLayerVisible("Cells"));
        QCOMPARE(rows(), (QStringList{"Background + + 0", "Cells - - 1", "[1] Line - -"}));
        answer = "Cells";
        panel.findChild<QPushButton *>("newLayer_btn")->click(); // taken
        panel.findChild<QPushButton *>("deleteLayer_btn")->click();
        QCOMPARE(rows(), (QStringList{"Cells + - 1", "[1] Line - -"}));
        m_scene->onUndoOpt();
        QCOMPARE(m_scene->layerNames(), (QStringList{"Background", "Cells"}));
        QCOMPARE(table->rowCount(), 3);

        MainScene other;
        panel.setScene(&other);
        m_scene->slotDelAllItem();
        QCOMPARE(rows(), QStringList{"Background + + 0"});
        QVERIFY(other.addLayer("Dirt"));
        QCOMPARE(rows(), (QStringList{"Background - + 0", "Dirt + + 0"}));
    }

    // Decimals reach the drawn shapes and those drawn after.
    void precision()
    {
        Base *before = draw(DrawType::Line, {kLines[0]}).value(0);
        QSignalSpy updated(m_scene.get(), &MainScene::itemUpdate);
        m_scene->setPrecision(4);
        Base *after = draw(DrawType::Line, {kLines[1]}).value(0);
        QCOMPARE(updated.count(), 1);
        QVERIFY2(before->label()->text().contains("100.0000"), qPrintable(before->label()->text()));
        QVERIFY2(after->label()->text().contains("158.1139"), qPrintable(after->label()->text()));
    }

    // Saved and loaded again, the shapes come back with their points, layers and numbers, and
    // replace what was drawn since.
    void templateRoundTrip()
    {
        QVERIFY(m_scene->addLayer(QStringLiteral("Cells")));
        QCOMPARE(draw(DrawType::Line, kLines.mid(0, 2)).size(), 2);
        m_scene->onSetCurLayer(QStringLiteral("Background"));
        QVERIFY(draw(DrawType::Cir, {kPattern.mid(0, 3)}).value(0));
        QVERIFY(draw(DrawType::LText, {{{30, 40}}}).value(0));
        m_scene->onSetLayerVisible(QStringLiteral("Cells"), false);
        const QStringList shapes = describe(*m_scene);
        QVERIFY(shapes.contains(QStringLiteral("Cir Background [3] 100,100 160,180 240,120")));

        const QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("shapes.json"));
        QCOMPARE(m_scene->exportTemplate(path), QString());
        QVERIFY(draw(DrawType::Line, {kLines[2]}).value(0));
        m_scene->onSetLayerVisible(QStringLiteral("Cells"), true);
        QCOMPARE(m_scene->importTemplate(path), QString());
        QCOMPARE(describe(*m_scene), shapes);
        QCOMPARE(m_scene->layerNames(), (QStringList{QStringLiteral("Background"), QStringLiteral("Cells")}));
        QVERIFY(!m_scene->isLayerVisible(QStringLiteral("Cells")));
        QVERIFY(!m_scene->finishedTools().first()->item()->isVisible());
        QCOMPARE(m_scene->layerName(), QStringLiteral("Background"));
        QCOMPARE(m_scene->finishedTools().last()->label()->text(), QStringLiteral("Text"));
        QVERIFY(!m_scene->undoStack()->canUndo());
        // Numbering goes on after the highest number loaded.
        QCOMPARE(MainScene::shapeNumber(draw(DrawType::Line, {kLines[2]}).value(0)), 4);
    }

    void badTemplate_data()
    {
        QTest::addColumn<QByteArray>("json");
        QTest::addColumn<int>("shapes"); // loaded; -1: refused
        QTest::newRow("not JSON") << QByteArray(R"({"LayerVersion": "V1.0.0", )") << -1;
        QTest::newRow("other version") << QByteArray(R"({"LayerVersion": "V9", "LayerInfo": [{"Name": "A"}]})") << -1;
        QTest::newRow("no layers") << QByteArray(R"({"LayerVersion": "V1.0.0", "LayerInfo": {}})") << -1;
        QTest::newRow("unnamed layer") << QByteArray(R"({"LayerVersion": "V1.0.0", "LayerInfo": [{"Name": " "}]})")
                                       << -1;
        QTest::newRow("shapes left out") << QByteArray(
                                                R"({"LayerVersion": "V1.0.0", "LayerInfo": [{"Name": "A", "Graphics": [
                   {"type": 999, "point": [{"x": 1, "y": 2}, {"x": 3, "y": 4}]},
                   {"point": [{"x": 1, "y": 2}, {"x": 3, "y": 4}]},
                   {"type": 4, "point": [{"x": 1, "y": 2}]},
                   {"type": 4, "point": [{"x": 1, "y": "2"}, {"x": 3, "y": 4}]},
                   {"type": 4, "point": "x"},
                   {"type": 4, "point": [{"x": 1, "y": 2}, {"x": 3, "y": 4}]}]}]})")
                                         << 1;
    }

    // A file that is no template changes nothing; shapes that cannot be rebuilt are left out.
    void badTemplate()
    {
        QFETCH(QByteArray, json);
        QFETCH(int, shapes);
        QVERIFY(draw(DrawType::Line, {kLines[0]}).value(0));
        const QTemporaryDir dir;
        QFile file(dir.filePath(QStringLiteral("bad.json")));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(json) == json.size());
        file.close();
        const QString error = m_scene->importTemplate(file.fileName());
        QCOMPARE(error.isEmpty(), shapes >= 0);
        QCOMPARE(m_scene->finishedTools().size(), shapes >= 0 ? shapes : 1);
        QCOMPARE(m_scene->undoStack()->canUndo(), shapes < 0);
    }


    void gridLines_data()
    {
        QTest::addColumn<QVariantList>("settings"); // lines across, lines down, spacing across, down
        QTest::addColumn<QList<double>>("ys");
        QTest::addColumn<QList<double>>("xs");
        QTest::newRow("by count") << QVariantList{2, 3, 0, 0} << QList<double>{100, 200}
                                  << QList<double>{100, 200, 300};
        QTest::newRow("by spacing") << QVariantList{5, 1, 120, 250} << QList<double>{120, 240}
                                    << QList<double>{250};
        QTest::newRow("none, flood refused") << QVariantList{0, 100000, 0, 0.01} << QList<double>{}
                                             << QList<double>{};
    }

    // The grid divides the picture by count or steps by spacing, never on its edges, and follows
    // the properties sent to the scene.
    void gridLines()
    {
        QFETCH(QVariantList, settings);
        QFETCH(QList<double>, ys);
        QFETCH(QList<double>, xs);
        auto *grid = new GraphicsGridLines;
        m_scene->addItem(grid);
        grid->setArea(QRectF(0, 0, 400, 300));
        m_scene->setDrawProperty({{DrawProperty::DrawGridlinesHLines, settings[0]},
                                  {DrawProperty::DrawGridlinesVLines, settings[1]},
                                  {DrawProperty::DrawGridHlinesSpac, settings[2]},
                                  {DrawProperty::DrawGridVlinesSpac, settings[3]},
                                  {DrawProperty::DrawGridlinesStyle, int(Qt::DotLine)}});
        QList<double> gotYs, gotXs;
        for (const QLineF &line : grid->lines()) {
            if (line.dy() == 0 && line.p1() == QPointF(0, line.y1()) && line.x2() == 400)
                gotYs << line.y1();
            else if (line.dx() == 0 && line.p1() == QPointF(line.x1(), 0) && line.y2() == 300)
                gotXs << line.x1();
        }
        if (QTest::currentDataTag() == QByteArray("none, flood refused"))
            QCOMPARE(gotXs.size(), 100); // the count is bounded; a spacing under a pixel means by count
        else
            QCOMPARE(gotXs, xs);
        QCOMPARE(gotYs, ys);
        QCOMPARE(grid->pen().style(), Qt::DotLine);
    }

    // Colour, width and style reach the marks drawn and to be drawn, font, size and colour the
    // free text, and the cross-hair its own line.
    void propertiesReachMarksTextAndCross()
    {
        Base *circle = draw(DrawType::MarkCir, {kPattern.mid(0, 3)}).value(0);
        Base *text = draw(DrawType::LText, {{{30, 40}}}).value(0);
        QVERIFY(circle && text);
        auto *cross = new GraphicsCross;
        m_scene->addItem(cross);
        const QColor blue(0, 0, 255);
        m_scene->setDrawProperty({{DrawProperty::DrawMarkCircleColor, blue},
                                  {DrawProperty::DrawMarkCircleWidth, 4},
                                  {DrawProperty::DrawMarkCircleStyle, int(Qt::DashLine)},
                                  {DrawProperty::LText_Color, blue},
                                  {DrawProperty::LText_Width, 21},
                                  {DrawProperty::LText_Font, QStringLiteral("Serif")},
                                  {DrawProperty::DrawAuxiliaryMarkerStyle, int(Qt::DashDotLine)},
                                  {DrawProperty::DrawAuxiliaryMarkerWidth, 3}});
        Base *later = draw(DrawType::MarkCir, {kPattern.mid(3, 3)}).value(0);
        QVERIFY(later);
        for (const Base *mark : {circle, later}) {
            const QPen pen = mark->item()->pen();
            QCOMPARE(pen.color(), blue);
            QCOMPARE(pen.widthF(), 4.0);
            QCOMPARE(pen.style(), Qt::DashLine);
        }
        QCOMPARE(text->label()->brush().color(), blue);
        QCOMPARE(text->label()->font().pointSize(), 21);
        QCOMPARE(text->label()->font().family(), QStringLiteral("Serif"));
        QCOMPARE(cross->pen().style(), Qt::DashDotLine);
        QCOMPARE(cross->pen().widthF(), 3.0);
    }

    // Typed right after placing, the text is part of the placing step; a later edit is a step of
    // its own, emptying the text deletes the shape, and cancelling a placing leaves nothing.
    void typingText()
    {
        QSignalSpy editRequested(m_scene.get(), &MainScene::ltextEdit);
        Base *text = draw(DrawType::LText, {{{30, 40}}}).value(0);
        QVERIFY(text);
        QCOMPARE(editRequested.count(), 1);
        type(text, QStringLiteral("Nucleus"));
        QCOMPARE(text->label()->text(), QStringLiteral("Nucleus"));
        m_scene->onUndoOpt();
        QVERIFY(m_scene->finishedTools().isEmpty());
        m_scene->onRedoOpt();
        QCOMPARE(m_scene->finishedTools(), QList<Base *>{text});
        QCOMPARE(text->label()->text(), QStringLiteral("Nucleus"));

        m_scene->setDrawMode(MainScene::SelectMode);
        QTest::mouseDClick(m_view->viewport(), Qt::LeftButton, {},
                           at(text->label()->mapToScene(text->label()->boundingRect().center())));
        QCOMPARE(editRequested.count(), 2);
        type(text, QStringLiteral("Cell"));
        m_scene->onUndoOpt();
        QCOMPARE(text->label()->text(), QStringLiteral("Nucleus"));
        type(text, QStringLiteral("  "));
        QVERIFY(m_scene->finishedTools().isEmpty());
        m_scene->onUndoOpt();
        QCOMPARE(m_scene->finishedTools(), QList<Base *>{text});

        const int steps = m_scene->undoStack()->index();
        Base *cancelled = draw(DrawType::LText, {{{200, 100}}}).value(0);
        QVERIFY(cancelled);
        LTextEditDialog::edit(m_scene.get(), cancelled, nullptr)->reject();
        QCOMPARE(m_scene->finishedTools(), QList<Base *>{text});
        QCOMPARE(m_scene->undoStack()->index(), steps);
        QVERIFY(!m_scene->undoStack()->canRedo());
    }

private:
    // Types the text into the shape's editor and confirms it.
    void type(Base *tool, const QString &text)
    {
        LTextEditDialog *editor = LTextEditDialog::edit(m_scene.get(), tool, nullptr);
        editor->findChild<QLineEdit *>()->setText(text);
        editor->accept();
    }

    // Draws the shapes by clicking their points; the shapes finished.
    QList<Base *> draw(DrawType type, const QVector<Points> &shapes)
    {
        m_scene->setDrawMode(int(type));
        QSignalSpy inserted(m_scene.get(), &MainScene::itemInsert);
        for (const Points &shape : shapes) {
            for (const QPointF &p : shape)
                click(p);
        }
        QList<Base *> done;
        if (QTest::qWaitFor([&] { return inserted.count() == shapes.size(); })) {
            for (const QList<QVariant> &args : qAsConst(inserted))
                done << args.first().value<Base *>();
        }
        return done;
    }

    void drag(const QPointF &from, const QPointF &to)
    {
        QTest::mousePress(m_view->viewport(), Qt::LeftButton, {}, at(from));
        QMouseEvent event(QEvent::MouseMove, at(to), m_view->viewport()->mapToGlobal(at(to)), Qt::NoButton,
                          Qt::LeftButton, {});
        QApplication::sendEvent(m_view->viewport(), &event);
        QTest::mouseRelease(m_view->viewport(), Qt::LeftButton, {}, at(to));
    }

    QPoint at(const QPointF &scenePos) const { return m_view->mapFromScene(scenePos); }

    void click(const QPointF &p, Qt::MouseButton button = Qt::LeftButton, Qt::KeyboardModifiers mods = {})
    {
        QTest::mouseClick(m_view->viewport(), button, mods, at(p));
    }

    void move(const QPointF &p, Qt::KeyboardModifiers mods = {})
    {
        QMouseEvent event(QEvent::MouseMove, at(p), m_view->viewport()->mapToGlobal(at(p)), Qt::NoButton, Qt::NoButton,
                          mods);
        QApplication::sendEvent(m_view->viewport(), &event);
    }

    bool hasItemOfType(int type) const
    {
        const QList<QGraphicsItem *> all = m_scene->items();
        return std::any_of(all.cbegin(), all.cend(), [type](QGraphicsItem *i) { return i->type() == type; });
    }

    std::unique_ptr<MainScene> m_scene;
    std::unique_ptr<QGraphicsView> m_view;
};

QTEST_MAIN(TestMainScene)
#include "tst_mainscene.moc"

// The measuring scene driven by the mouse through a zoomed view: shapes complete after their
// clicks, in picture pixels, with their constraints; abandoning, double-click finishing, the
// finish hint and free-hand sampling.
#include "base.h"
#include "graphicsitems.h"
#include "mainscene.h"
#include "measureshapes.h"

#include <QGraphicsView>
#include <QSignalSpy>
#include <QtTest>

#include <memory>

Q_DECLARE_METATYPE(Base *)

namespace {

using Points = QVector<QPointF>;

// Points in general position: no three of the first six on a line.
// The second point differs from the first in x and y, and the third makes a right angle there.
const Points kPattern{{100, 100}, {160, 180}, {240, 120}, {150, 250}, {60, 200}, {50, 60}};

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

private:
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

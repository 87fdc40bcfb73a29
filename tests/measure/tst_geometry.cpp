// The measuring shapes' constructions, results and result text, against closed-form values.
#include <QLineF>
#include <QTranslator>
#include <QtMath>
#include <QtTest>

#include "entryformat.h"
#include "measuregeometry.h"
#include "measureshapes.h"

using namespace MeasureGeometry;
using Points = QVector<QPointF>;

Q_DECLARE_METATYPE(DrawType)
Q_DECLARE_METATYPE(MeasureEntry)

namespace {

const double kSqrt2 = std::sqrt(2.0);

// A point at `angle` degrees (counter-clockwise on the screen) from `centre`.
QPointF polar(const QPointF &centre, double radius, double angle)
{
    return QLineF::fromPolar(radius, angle).translated(centre).p2();
}

// Translates one keyword, to show which words of a label are taken as keywords.
class KeywordTranslator : public QTranslator
{
public:
    QString translate(const char *context, const char *source, const char *, int) const override
    {
        return QLatin1String(context) == "GraphicsText" && QLatin1String(source) == "CLen" ? "Perimeter" : QString();
    }
    bool isEmpty() const override { return false; }
};

} // namespace

class TestGeometry : public QObject
{
    Q_OBJECT

private slots:
    void circleThroughPoints_data()
    {
        QTest::addColumn<Points>("points");
        QTest::addColumn<QPointF>("centre");
        QTest::addColumn<double>("radius");
        QTest::newRow("rightTriangle") << Points{{0, 0}, {2, 0}, {0, 2}} << QPointF(1, 1) << kSqrt2;
        QTest::newRow("knownCircle") << Points{polar({3, -2}, 5, 10), polar({3, -2}, 5, 100), polar({3, -2}, 5, 250)}
                                     << QPointF(3, -2) << 5.0;
        QTest::newRow("collinear") << Points{{1, 1}, {2, 2}, {4, 4}} << QPointF(0, 0) << -1.0;
    }

    void circleThroughPoints()
    {
        QFETCH(Points, points);
        QFETCH(QPointF, centre);
        QFETCH(double, radius);
        const Circle c = MeasureGeometry::circleThroughPoints(points[0], points[1], points[2]);
        QVERIFY2(QLineF(c.centre, centre).length() < 1e-9,
                 qPrintable(QString("%1,%2").arg(c.centre.x()).arg(c.centre.y())));
        QCOMPARE(c.radius, radius);
    }

    void fuzzyEqual_data()
    {
        QTest::addColumn<double>("a");
        QTest::addColumn<double>("b");
        QTest::addColumn<bool>("equal");
        QTest::newRow("nearZero") << 0.0 << 1e-12 << true;
        QTest::newRow("offZero") << 0.0 << 2e-12 << false;
        QTest::newRow("relativeLarge") << 1e6 << 1e6 + 1e-7 << true;
        QTest::newRow("relativeSmall") << 1.0 << 1.0 + 1e-11 << false;
    }

    void fuzzyEqual()
    {
        QFETCH(double, a);
        QFETCH(double, b);
        QFETCH(bool, equal);
        QCOMPARE(MeasureGeometry::fuzzyEqual(a, b), equal);
        QCOMPARE(MeasureGeometry::fuzzyEqual(QPointF(7, a), QPointF(7, b)), equal);
    }

    // A press on an earlier point of the shape does not finish it; open tools never finish.
    void isFinished_data()
    {
        QTest::addColumn<DrawType>("type");
        QTest::addColumn<Points>("points");
        QTest::addColumn<bool>("finished");
        QTest::newRow("line") << DrawType::Line << Points{{0, 0}, {1, 0}} << true;
        QTest::newRow("lineSameSpot") << DrawType::Line << Points{{5, 5}, {5, 5 + 1e-13}} << false;
        QTest::newRow("circleOnFirstPoint") << DrawType::Cir << Points{{0, 0}, {1, 0}, {0, 0}} << false;
        QTest::newRow("circleShort") << DrawType::Cir << Points{{0, 0}, {1, 0}} << false;
        QTest::newRow("polygonOpen") << DrawType::Poly << Points{{0, 0}, {1, 0}, {1, 1}, {0, 1}} << false;
    }

    void isFinished()
    {
        QFETCH(DrawType, type);
        QFETCH(Points, points);
        QFETCH(bool, finished);
        QCOMPARE(MeasureShapes::isFinished(type, points), finished);
    }

    void orientation()
    {
        const QPolygonF clockwise(Points{{0, 0}, {10, 0}, {10, 10}, {0, 10}});
        QPolygonF anticlockwise = clockwise;
        std::reverse(anticlockwise.begin(), anticlockwise.end());
        QVERIFY(isClockwise(clockwise));
        QVERIFY(!isClockwise(anticlockwise));
        QCOMPARE(MeasureShapes::measure(DrawType::Poly, clockwise)->at(1).value, 100.0);
        QCOMPARE(MeasureShapes::measure(DrawType::Poly, anticlockwise)->at(1).value, 100.0);
    }

    void entries_data()
    {
        QTest::addColumn<DrawType>("type");
        QTest::addColumn<Points>("points");
        QTest::addColumn<QStringList>("labels");
        QTest::addColumn<QVector<double>>("values");
        QTest::addColumn<double>("tolerance"); // relative

        const QStringList circle{"GraphicsCir\n", "R = %1%2\n", "D = %1%2\n", "CLen = %1%2\n", "Area = %1%2"};
        const QStringList rect{"GraphicsRect\n", "Wid = %1%2\n", "Hei = %1%2\n", "CLen = %1%2\n", "Area = %1%2"};
        const QStringList ellipse{"GraphicsEllipse\n", "D1 = %1%2\n",   "D2 = %1%2\n",
                                  "CLen = %1%2\n",     "Area = %1%2\n", "Eccentricity = %1"};
        const QStringList lenDis{"Len = %1%2\n", "Dis = %1%2"};
        const QStringList firstCircle{"R1 = %1%2\n", "CLen1 = %1%2\n", "Area1 = %1%2\n"};
        const QStringList secondCircle{"R2 = %1%2\n", "CLen2 = %1%2\n", "Area2 = %1%2\n"};
        const QVector<double> unitCircles{1, kTwoPi, kPi, 2, 2 * kTwoPi, 4 * kPi}; // radii 1 and 2
        const double exact = 1e-12;

        QTest::newRow("line345") << DrawType::Line << Points{{0, 0}, {3, 4}} << QStringList{"Len = %1%2"}
                                 << QVector<double>{5} << exact;
        QTest::newRow("hLine") << DrawType::HLine << Points{{1, 2}, {7, 2}} << QStringList{"Len = %1%2"}
                               << QVector<double>{6} << exact;
        QTest::newRow("threePointLineKeepsBase") << DrawType::ThreePointLine << Points{{0, 0}, {3, 4}, {10, 0}}
                                                 << QStringList{"Len = %1%2"} << QVector<double>{5} << exact;
        QTest::newRow("anyLine") << DrawType::AnyLine << Points{{0, 0}, {3, 0}, {3, 4}}
                                 << QStringList{"Len = %1%2\n", "Area = %1%2"} << QVector<double>{7, 6} << exact;
        QTest::newRow("par") << DrawType::Par << Points{{0, 0}, {10, 0}, {4, 3}} << lenDis << QVector<double>{10, 3}
                             << exact;
        QTest::newRow("verSlanted") << DrawType::Ver << Points{{0, 0}, {3, 4}, {4, -3}} << lenDis
                                    << QVector<double>{5, 5} << exact;
        QTest::newRow("fourPointParLine") << DrawType::FourPointParLine << Points{{0, 0}, {10, 0}, {2, 5}, {6, 5}}
                                          << QStringList{"Dis = %1%2"} << QVector<double>{5} << exact;
        QTest::newRow("anyPar") << DrawType::AnyPar << Points{{0, 0}, {10, 0}, {1, 2}, {5, -7}}
                                << QStringList{"[1] Dis = %1%2\n", "[2] Dis = %1%2"} << QVector<double>{2, 7} << exact;
        QTest::newRow("fourPointVerLine")
            << DrawType::FourPointVerLine << Points{{0, 0}, {3, 4}, {0, 0}, {0, 2}}
            << QStringList{"Len1 = %1%2\n", "Len2 = %1%2"} << QVector<double>{5, 2} << exact;
        QTest::newRow("fourAng359.6") << DrawType::FourAng << Points{{0, 0}, {100, 0}, {0, 0}, polar({}, 100, 359.6)}
                                      << QStringList{"Angle = %1%2"} << QVector<double>{1} << exact;
        QTest::newRow("fourAng200.5") << DrawType::FourAng << Points{{0, 0}, {100, 0}, {5, 5}, polar({5, 5}, 9, 200.5)}
                                      << QStringList{"Angle = %1%2"} << QVector<double>{160} << exact;
        QTest::newRow("threeAngDiagonal") << DrawType::ThreeAng << Points{{10, 0}, {0, 0}, {10, 10}}
                                          << QStringList{"Angle = %1%2"} << QVector<double>{45} << exact;
        QTest::newRow("threeAngStraight") << DrawType::ThreeAng << Points{{0, 0}, {1, 0}, {2, 0}}
                                          << QStringList{"Angle = %1%2"} << QVector<double>{180} << exact;
        QTest::newRow("threeAngUnrounded") << DrawType::ThreeAng << Points{{1, 0}, {0, 0}, polar({}, 1, 30.25)}
                                           << QStringList{"Angle = %1%2"} << QVector<double>{30.25} << 1e-9;
        QTest::newRow("rect") << DrawType::Rect << Points{{0, 0}, {3, -4}} << rect << QVector<double>{0, 3, 4, 14, 12}
                              << exact;
        QTest::newRow("threePointRect") << DrawType::ThreePointRect << Points{{0, 0}, {3, 4}, {-5, 10}} << rect
                                        << QVector<double>{0, 5, 10, 30, 50} << exact;
        QTest::newRow("arcHalf") << DrawType::Arc << Points{{10, 0}, {0, -10}, {-10, 0}}
                                 << QStringList{"Radian = %1%2\n", "CLen = %1%2\n", "R = %1%2"}
                                 << QVector<double>{180, 10 * kPi, 10} << exact;
        QTest::newRow("arcAroundMiddle") << DrawType::Arc << Points{{10, 0}, {0, 10}, {0, -10}}
                                         << QStringList{"Radian = %1%2\n", "CLen = %1%2\n", "R = %1%2"}
                                         << QVector<double>{270, 15 * kPi, 10} << exact;
        QTest::newRow("cir") << DrawType::Cir << Points{{0, 0}, {2, 0}, {0, 2}} << circle
                             << QVector<double>{0, kSqrt2, 2 * kSqrt2, kTwoPi * kSqrt2, 2 * kPi} << exact;
        QTest::newRow("radiusCir") << DrawType::RadiusCir << Points{{1, 1}, {4, 5}} << circle
                                   << QVector<double>{0, 5, 10, 10 * kPi, 25 * kPi} << exact;
        QTest::newRow("diameterCir") << DrawType::DiameterCir << Points{{0, 0}, {6, 8}} << circle
                                     << QVector<double>{0, 5, 10, 10 * kPi, 25 * kPi} << exact;
        QTest::newRow("twoPointEllipseTruncated")
            << DrawType::TwoPointEllipse << Points{{0, 0}, {10.9, 4.2}} << ellipse
            << QVector<double>{0, 10, 4, 12 + 4 * kPi, kPi * 10.9 * 4.2 / 4, std::sqrt(0.84)} << exact;
        QTest::newRow("threePointEllipse") << DrawType::ThreePointEllipse << Points{{0, 0}, {10, 0}, {10, 6}} << ellipse
                                           << QVector<double>{0, 10, 6, 8 + 6 * kPi, 15 * kPi, 0.8} << exact;
        Points onEllipse;
        for (int i = 0; i < 5; ++i)
            onEllipse << QPointF(50 + 30.25 * std::cos(i * kTwoPi / 5), 40 + 20.25 * std::sin(i * kTwoPi / 5));
        QTest::newRow("fivePointEllipse")
            << DrawType::FivePointEllipse << onEllipse << ellipse
            << QVector<double>{0, 60, 40, 40 + 40 * kPi, kPi * 60.5 * 40.5 / 4, std::sqrt(1 - 1600.0 / 3600)} << 1e-5;
        QTest::newRow("lCir") << DrawType::LCir << Points{{0, 0}, {2, 0}, {0, 2}, {4, 1}}
                              << QStringList{"GraphicsLCir\n", "R = %1%2\n", "CLen = %1%2\n", "Area = %1%2\n",
                                             "Len = %1%2"}
                              << QVector<double>{0, kSqrt2, kTwoPi * kSqrt2, 2 * kPi, 3} << exact;
        QTest::newRow("cCir") << DrawType::CCir << Points{{0, 0}, {2, 0}, {0, 2}, {5, 0}, {5, 10}}
                              << QStringList{"GraphicsCCir\n", "R = %1%2\n",   "CLen = %1%2\n",
                                             "Area = %1%2\n",  "Dis = %1%2\n", "Len = %1%2"}
                              << QVector<double>{0, kSqrt2, kTwoPi * kSqrt2, 2 * kPi, 4, 10} << exact;
        QTest::newRow("tCir") << DrawType::TCir << Points{{0, 1}, {1, 0}, {2, 1}, {8, 1}, {10, -1}, {12, 1}}
                              << QStringList{"GraphicsTCir\n"} + firstCircle + secondCircle + QStringList{"Dis = %1%2"}
                              << QVector<double>{0} + unitCircles + QVector<double>{9} << exact;
        QTest::newRow("tCirFivePoints") << DrawType::TCir << Points{{0, 1}, {1, 0}, {2, 1}, {8, 1}, {10, -1}}
                                        << QStringList{"GraphicsTCir\n", "R1 = %1%2\n", "CLen1 = %1%2\n",
                                                       "Area1 = %1%2"}
                                        << QVector<double>{0} + unitCircles.mid(0, 3) << exact;
        QTest::newRow("fourPointTCir") << DrawType::FourPointTCir << Points{{0, 0}, {1, 0}, {10, 0}, {10, 2}}
                                       << QStringList{"GraphicsTCir\n"} + firstCircle + secondCircle +
                                              QStringList{"Dis = %1%2"}
                                       << QVector<double>{0} + unitCircles + QVector<double>{10} << exact;
        QTest::newRow("fourPointConcentric")
            << DrawType::FourPointConcentricCir << Points{{0, 1}, {1, 0}, {2, 1}, {1, 3}}
            << firstCircle + secondCircle + QStringList{"Dis = %1%2"} << unitCircles + QVector<double>{1} << exact;
        QStringList lastOpen = firstCircle + secondCircle;
        lastOpen.last().chop(1);
        QTest::newRow("centerRadiusConcentric") << DrawType::CenterRadiusConcentricCir << Points{{0, 0}, {1, 0}, {0, 2}}
                                                << lastOpen << unitCircles << exact;
        QTest::newRow("anyPointConcentric")
            << DrawType::AnyPointConcentricCir << Points{{0, 0}, {1, 0}, {0, 2}} << lastOpen << unitCircles << exact;
        QTest::newRow("collinearCircle") << DrawType::LCir << Points{{1, 1}, {2, 2}, {4, 4}, {3, 4}}
                                         << QStringList{"GraphicsLCir\n", "R = %1%2\n", "CLen = %1%2\n",
                                                        "Area = %1%2\n", "Len = %1%2"}
                                         << QVector<double>{0, -1, -kTwoPi, kPi, 5} << exact;
    }

    void entries()
    {
        QFETCH(DrawType, type);
        QFETCH(Points, points);
        QFETCH(QStringList, labels);
        QFETCH(QVector<double>, values);
        QFETCH(double, tolerance);
        const std::optional<MeasureShapes::Entries> entries = MeasureShapes::measure(type, points);
        QVERIFY(entries);
        QStringList gotLabels;
        for (const MeasureEntry &e : *entries)
            gotLabels << e.label;
        QCOMPARE(gotLabels, labels);
        for (int i = 0; i < values.size(); ++i) {
            const double got = entries->at(i).value;
            QVERIFY2(std::abs(got - values[i]) <= tolerance * std::max(1.0, std::abs(values[i])),
                     qPrintable(QString("%1: %2, expected %3")
                                    .arg(labels[i].trimmed())
                                    .arg(got, 0, 'g', 15)
                                    .arg(values[i], 0, 'g', 15)));
            QCOMPARE(entries->at(i).isArea, labels[i].startsWith("Area"));
        }
    }

    void rejected_data()
    {
        QTest::addColumn<DrawType>("type");
        QTest::addColumn<Points>("points");
        QTest::newRow("circleBelowMinimum") << DrawType::Cir << Points{{0, 0}, {2, 0}};
        QTest::newRow("openBelowMinimum") << DrawType::Poly << Points{{0, 0}};
        QTest::newRow("ellipseFitFails") << DrawType::FivePointEllipse
                                         << Points{{0, 0}, {1, 1}, {2, 2}, {3, 3}, {4, 4}};
    }

    void rejected()
    {
        QFETCH(DrawType, type);
        QFETCH(Points, points);
        QVERIFY(!MeasureShapes::measure(type, points));
    }

    void format_data()
    {
        QTest::addColumn<MeasureEntry>("entry");
        QTest::addColumn<double>("umPerPixel"); // 0: the pixel calibration
        QTest::addColumn<double>("scale");
        QTest::addColumn<int>("unit");
        QTest::addColumn<int>("precision");
        QTest::addColumn<int>("sequence");
        QTest::addColumn<QString>("text");
        const MeasureEntry len{"Len = %1%2", 100};
        const MeasureEntry area{"Area = %1%2", 10000, true};
        MeasureEntry radian{"Radian = %1%2\n", 180};
        radian.isRadian = true;
        MeasureEntry position{"(%1,%2)", 3};
        position.isPosition = true;
        position.y = 4;
        QTest::newRow("pixels") << len << 0.0 << 1.0 << int(Unit::Pixel) << 2 << 0 << "Len = 100.00pix";
        QTest::newRow("pixelsZoomed") << len << 0.0 << 2.0 << int(Unit::Pixel) << 2 << 0 << "Len = 200.00pix";
        QTest::newRow("uncalibratedStaysPixels")
            << len << 0.0 << 1.0 << int(Unit::Millimetre) << 2 << 0 << "Len = 100.00pix";
        QTest::newRow("micrometres") << len << 5.0 << 1.0 << int(Unit::Micrometre) << 1 << 0 << "Len = 500.0um";
        QTest::newRow("millimetres") << len << 5.0 << 1.0 << int(Unit::Millimetre) << 2 << 0 << "Len = 0.50mm";
        QTest::newRow("mil") << len << 5.0 << 1.0 << int(Unit::Mil) << 3 << 0 << "Len = 19.685mil";
        QTest::newRow("inch") << len << 5.0 << 1.0 << int(Unit::Inch) << 7 << 0 << "Len = 0.0196850inch";
        QTest::newRow("areaSquared") << area << 5.0 << 1.0 << int(Unit::Millimetre) << 2 << 0
                                     << QString::fromUtf8("Area = 0.25mm²");
        QTest::newRow("degreesUnconverted") << MeasureEntry{"Angle = %1%2", 45.5} << 5.0 << 2.0 << int(Unit::Degree)
                                            << 2 << 0 << QString::fromUtf8("Angle = 45.50°");
        QTest::newRow("radians") << radian << 5.0 << 1.0 << int(Unit::Millimetre) << 4 << 0 << "Radian = 3.1416 rad\n";
        QTest::newRow("eccentricityPlain") << MeasureEntry{"Eccentricity = %1", 0.8} << 5.0 << 1.0
                                           << int(Unit::Millimetre) << 2 << 0 << "Eccentricity = 0.80";
        QTest::newRow("sequence") << len << 0.0 << 1.0 << int(Unit::Pixel) << 0 << 3 << "[3] Len = 100pix";
        QTest::newRow("position") << position << 5.0 << 1.0 << int(Unit::Micrometre) << 1 << 0 << "(15.0,20.0)";
    }

    void format()
    {
        QFETCH(MeasureEntry, entry);
        QFETCH(double, umPerPixel);
        QFETCH(double, scale);
        QFETCH(int, unit);
        QFETCH(int, precision);
        QFETCH(int, sequence);
        QFETCH(QString, text);
        EntryFormat format;
        if (umPerPixel > 0) {
            format.converter.micrometresPerPixel = umPerPixel;
            format.converter.calibrationUnit = "mm";
        }
        format.converter.scale = scale;
        format.unit = unit;
        format.precision = precision;
        format.sequence = sequence;
        QCOMPARE(format.line(entry, false), text);
    }

    // The header is not shown and the text does not end in a line end.
    void labelText()
    {
        const EntryFormat format;
        QCOMPARE(format.text(*MeasureShapes::measure(DrawType::Rect, {{0, 0}, {3, 4}})),
                 QString::fromUtf8("Wid = 3.00pix\nHei = 4.00pix\nCLen = 14.00pix\nArea = 12.00pix²"));
    }

    void keywordsTranslatedAsWholeWords()
    {
        KeywordTranslator translator;
        QCoreApplication::installTranslator(&translator);
        const QString text = EntryFormat().text(*MeasureShapes::measure(DrawType::Poly, {{0, 0}, {3, 0}, {3, 4}}));
        QCoreApplication::removeTranslator(&translator);
        QCOMPARE(text, QString::fromUtf8("Perimeter = 12.00pix\nArea = 6.00pix²"));
    }
};

QTEST_GUILESS_MAIN(TestGeometry)
#include "tst_geometry.moc"

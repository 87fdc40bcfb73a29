// Shader headers and the version strings they are chosen by.
#include "shadersource.h"

#include <QtTest>

class TestShaderSource : public QObject
{
    Q_OBJECT

private slots:
    void glslVersion_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<int>("version");
        QTest::newRow("mesaCore") << QByteArray("4.50") << 450;
        QTest::newRow("vendorSuffix") << QByteArray("4.60 NVIDIA") << 460;
        QTest::newRow("es") << QByteArray("OpenGL ES GLSL ES 3.00") << 300;
        QTest::newRow("old") << QByteArray("1.10 Mesa") << 110;
        QTest::newRow("garbage") << QByteArray("unknown") << 0;
        QTest::newRow("empty") << QByteArray("") << 0;
    }
    void glslVersion()
    {
        QFETCH(QByteArray, text);
        QFETCH(int, version);
        QCOMPARE(ShaderSource::parseGlslVersion(text.constData()), version);
        QCOMPARE(ShaderSource::parseGlslVersion(nullptr), 0);
    }

    void glVersion_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<double>("version");
        QTest::newRow("mesaCore") << QByteArray("4.5 (Core Profile) Mesa 22.3.6") << 4.5;
        QTest::newRow("legacy") << QByteArray("2.1 Mesa 10.0") << 2.1;
        QTest::newRow("es") << QByteArray("OpenGL ES 3.2 Mesa") << 3.2;
        QTest::newRow("unreadable") << QByteArray("version") << 0.0;
    }
    void glVersion()
    {
        QFETCH(QByteArray, text);
        QFETCH(double, version);
        QCOMPARE(ShaderSource::parseGlVersion(text.constData()), version);
    }

    // One source must compile as GLSL 1.10, 1.30+ and ES (tst_renderer compiles it on the test
    // display's context): the attribute, varying and output names are mapped only from 1.30 on.
    void header_data()
    {
        QTest::addColumn<int>("version");
        QTest::addColumn<bool>("es");
        QTest::newRow("110") << 110 << false;
        QTest::newRow("330") << 330 << false;
        QTest::newRow("300es") << 300 << true;
    }
    void header()
    {
        QFETCH(int, version);
        QFETCH(bool, es);
        const QByteArray vertex = ShaderSource::header(version, es, ShaderSource::Stage::Vertex);
        const QByteArray fragment = ShaderSource::header(version, es, ShaderSource::Stage::Fragment);
        const QByteArray first = "#version " + QByteArray::number(version) + (es ? " es\n" : "\n");
        QVERIFY(vertex.startsWith(first) && fragment.startsWith(first));
        QVERIFY(fragment.contains("precision mediump float;"));
        QVERIFY(fragment.contains("#define texture texture2D") && !vertex.contains("texture2D"));
        const bool mapped = version >= 130;
        QCOMPARE(vertex.contains("#define attribute in\n#define varying out\n"), mapped);
        QCOMPARE(fragment.contains("#define varying in\n"), mapped);
        QCOMPARE(fragment.contains("out vec4 gl_FragColor;"), mapped);
    }

    void missingSourceGivesNothing()
    {
        QVERIFY(ShaderSource::load(QStringLiteral(":/shaders/none.vert"), 330, false, ShaderSource::Stage::Vertex)
                    .isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestShaderSource)
#include "tst_shadersource.moc"

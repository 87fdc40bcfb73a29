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

    // The header must make one source compile as GLSL 1.10, 1.30+ and ES: the attribute,
    // varying and output names are mapped only from 1.30 on.
    void header_data()
    {
        QTest::addColumn<int>("version");
        QTest::addColumn<bool>("es");
        QTest::addColumn<bool>("fragment");
        QTest::addColumn<QByteArray>("expected");
        const QByteArray common = "#ifdef GL_ES \nprecision mediump int;\nprecision mediump float;\n#endif\n";
        const QByteArray texture = "#if __VERSION__ < 130\n#define texture texture2D\n#else\n#define texture2D "
                                   "texture\n#endif // < 130\n";
        QTest::newRow("vertex110") << 110 << false << false << QByteArray("#version 110\n" + common);
        QTest::newRow("fragment110") << 110 << false << true << QByteArray("#version 110\n" + common + texture);
        QTest::newRow("vertex330") << 330 << false << false
                                   << QByteArray("#version 330\n" + common +
                                                 "#define attribute in\n#define varying out\n");
        QTest::newRow("fragment300es")
            << 300 << true << true
            << QByteArray("#version 300 es\n" + common + texture +
                          "#define varying in\n#define gl_FragColor out_color\nout vec4 gl_FragColor;\n");
    }
    void header()
    {
        QFETCH(int, version);
        QFETCH(bool, es);
        QFETCH(bool, fragment);
        QFETCH(QByteArray, expected);
        QCOMPARE(
            ShaderSource::header(version, es, fragment ? ShaderSource::Stage::Fragment : ShaderSource::Stage::Vertex),
            expected);
    }

    void missingSourceGivesNothing()
    {
        QVERIFY(ShaderSource::load(QStringLiteral(":/shaders/none.vert"), 330, false, ShaderSource::Stage::Vertex)
                    .isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestShaderSource)
#include "tst_shadersource.moc"

// The Annotate panel's property dialogs: what OK stores and sends, and what a reset restores.
#include "configstore.h"
#include "gridlinessetdialog.h"
#include "labelwidget.h"
#include "markingsetdialog.h"

#include <QDoubleSpinBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QtTest>

using DrawMap = QMap<DrawProperty, QVariant>;

class TestLabelWidget : public QObject
{
    Q_OBJECT

private slots:
    // OK stores every marking key and sends them together; the stored width is what a new view starts with.
    void markingDialogStoresAndSends()
    {
        LabelWidget panel;
        QSignalSpy changed(&panel, &LabelWidget::signalDrawChange);
        panel.findChild<QPushButton *>(QStringLiteral("markSet_btn"))->click();
        auto *dialog = panel.findChild<MarkingSetDialog *>();
        QVERIFY(dialog && dialog->isVisible());
        const int width = ConfigStore::instance().value(DrawProperty::DrawMarkArrowWidth).toInt() % 7 + 2;
        dialog->findChild<QDoubleSpinBox *>(QStringLiteral("DrawMarkArrow_width"))->setValue(width);
        dialog->accept();
        QCOMPARE(changed.count(), 1);
        const DrawMap sent = changed.first().first().value<DrawMap>();
        QCOMPARE(sent.size(), 12);
        QCOMPARE(sent.value(DrawProperty::DrawMarkArrowWidth).toInt(), width);
        QCOMPARE(ConfigStore::instance().value(DrawProperty::DrawMarkArrowWidth).toInt(), width);
        QCOMPARE(LabelWidget::storedProperties().value(DrawProperty::DrawMarkArrowWidth).toInt(), width);
    }

    // A reset forgets the stored grid and sends its defaults.
    void gridReset()
    {
        ConfigStore::instance().write(DrawProperty::DrawGridlinesHLines, 7);
        ConfigStore::instance().write(DrawProperty::DrawGridHlinesSpac, 40);
        LabelWidget panel;
        QSignalSpy changed(&panel, &LabelWidget::signalDrawChange);
        panel.findChild<QPushButton *>(QStringLiteral("gridReset_btn"))->click();
        QCOMPARE(changed.count(), 1);
        const DrawMap sent = changed.first().first().value<DrawMap>();
        QCOMPARE(sent.value(DrawProperty::DrawGridlinesHLines).toInt(), 2);
        QCOMPARE(sent.value(DrawProperty::DrawGridHlinesSpac).toInt(), 0);
        QCOMPARE(sent.value(DrawProperty::DrawGridlinesColor).value<QColor>(), QColor(Qt::red));
        QCOMPARE(GridLinesSetDialog::stored(), sent);
    }
};

QTEST_MAIN(TestLabelWidget)
#include "tst_labelwidget.moc"

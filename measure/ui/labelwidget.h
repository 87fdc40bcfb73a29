#pragma once

#include "drawproperty.h"
#include "drawtype.h"

#include <QMap>
#include <QVariant>
#include <QWidget>

class DrawPropertyDialog;
class QCheckBox;
class QPushButton;

// The Annotate page's panel: marking rectangles, circles, arrows and free lines, text, the
// cross-hair and the grid lines over the picture, and the watermark.
class LabelWidget : public QWidget
{
    Q_OBJECT

public:
    explicit LabelWidget(QWidget *parent = nullptr);
    void retranslate();
    // The stored marking, text, cross-hair and grid-line properties, defaults where absent: what
    // a new view's scene starts with.
    static QMap<DrawProperty, QVariant> storedProperties();

signals:
    void signalSetDrawMode(DrawType type);
    void onShowCross(bool show);
    void signalEnableGridlines(bool show);
    // The watermark settings belong to the photo side; the window opens them.
    void watermarkRequested();
    // Chosen in one of the property dialogs, or restored by a reset; already stored.
    void signalDrawChange(QMap<DrawProperty, QVariant> properties);

private slots:
    void on_markSet_btn_clicked();
    void on_textSet_btn_clicked();
    void on_crossLineSet_btn_clicked();
    void on_gridlinesSet_btn_clicked();
    void on_crossReset_btn_clicked();
    void on_gridReset_btn_clicked();

private:
    // Opens the dialog, not modal to the picture, and passes its choice on.
    void openDialog(DrawPropertyDialog *dialog);

    QVector<QPushButton *> m_markButtons;
    QCheckBox *m_cross;
    QCheckBox *m_grid;
    QPushButton *m_watermark;
    QVector<QPushButton *> m_settingButtons;
};

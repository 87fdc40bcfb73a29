#pragma once

#include <QDialog>

namespace Ui {
class BiologyIndustryDialog;
}

// The first-run choice between the biology and the industry scene; the choice is stored
// as "SceneMode" (0 biology, 1 industry). Closing the dialog otherwise stores nothing.
class BiologyIndustryDialog : public QDialog
{
    Q_OBJECT
public:
    explicit BiologyIndustryDialog(QWidget *parent = nullptr);
    ~BiologyIndustryDialog() override;

private slots:
    void on_biology_btn_clicked();
    void on_industry_btn_clicked();

private:
    void choose(int sceneMode);
    Ui::BiologyIndustryDialog *ui;
};

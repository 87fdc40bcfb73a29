#include "biologyindustrydialog.h"
#include "ui_biologyindustrydialog.h"

#include "configstore.h"

BiologyIndustryDialog::BiologyIndustryDialog(QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::BiologyIndustryDialog)
{
    ui->setupUi(this);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
}

BiologyIndustryDialog::~BiologyIndustryDialog()
{
    delete ui;
}

void BiologyIndustryDialog::on_biology_btn_clicked()
{
    choose(0);
}

void BiologyIndustryDialog::on_industry_btn_clicked()
{
    choose(1);
}

void BiologyIndustryDialog::choose(int sceneMode)
{
    ConfigStore::instance().write(ConfigGroup::Camera, CameraKey::SceneMode, sceneMode);
    accept();
}

#pragma once

#include <QDialog>
#include <QVector>

class QCheckBox;
class QComboBox;

// Which result columns and statistics rows the measurement sheet shows, and the shapes of which
// layer; OK stores the choice in the settings.
class DataDisplayDialog : public QDialog
{
    Q_OBJECT
public:
    // layers: those to choose from; layer: the current choice, empty for all shapes.
    DataDisplayDialog(const QStringList &layers, const QString &layer, QWidget *parent = nullptr);
    // Empty: every shape.
    QString layer() const;
    void accept() override;

private:
    QVector<QCheckBox *> m_columns;
    QVector<QCheckBox *> m_statistics;
    QComboBox *m_layer;
};

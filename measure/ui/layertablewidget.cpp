#include "layertablewidget.h"

#include "base.h"
#include "mainscene.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QTableWidgetItem *cell(const QString &text)
{
    auto *item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    return item;
}

// Shown, not toggled by the view: a click goes to the scene, and the table follows it.
QTableWidgetItem *checkCell(bool checked)
{
    QTableWidgetItem *item = cell(QString());
    item->setCheckState(checked ? Qt::Checked : Qt::Unchecked);
    return item;
}

} // namespace

ExpandableTableWidget::ExpandableTableWidget(QWidget *parent) : QTableWidget(0, ColumnCount, parent)
{
    setObjectName(QStringLiteral("layer_tableWidget"));
    setSelectionBehavior(SelectRows);
    setSelectionMode(SingleSelection);
    setEditTriggers(NoEditTriggers);
    verticalHeader()->hide();
    horizontalHeader()->setSectionResizeMode(NameColumn, QHeaderView::Stretch);
    for (int column : {CurrentColumn, ShowColumn, ShapesColumn})
        horizontalHeader()->setSectionResizeMode(column, QHeaderView::ResizeToContents);
    retranslate();
    connect(this, &QTableWidget::cellClicked, this, &ExpandableTableWidget::onCellClicked);
}

void ExpandableTableWidget::retranslate()
{
    setHorizontalHeaderLabels({tr("Layer Name"), tr("Current"), tr("Show"), tr("Shapes")});
}

void ExpandableTableWidget::setScene(MainScene *scene)
{
    if (m_scene)
        disconnect(m_scene, nullptr, this, nullptr);
    m_scene = scene;
    if (scene) {
        connect(scene, &MainScene::itemInsert, this, &ExpandableTableWidget::refresh);
        connect(scene, &MainScene::itemRemove, this, &ExpandableTableWidget::refresh);
        connect(scene, &MainScene::signalsetLayerTableWidget, this, &ExpandableTableWidget::refresh);
        connect(scene, &QObject::destroyed, this, &ExpandableTableWidget::refresh);
    }
    refresh();
}

QString ExpandableTableWidget::layerAt(int row) const
{
    return row >= 0 && row < m_rows.size() ? m_rows.at(row).layer : QString();
}

void ExpandableTableWidget::refresh()
{
    m_rows.clear();
    if (m_scene) {
        for (const QString &layer : m_scene->layerNames()) {
            m_rows.append({layer, nullptr});
            if (m_scene->isLayerExpanded(layer)) {
                for (Base *shape : m_scene->layerShapes(layer))
                    m_rows.append({layer, shape});
            }
        }
    }
    setRowCount(m_rows.size());
    for (int row = 0; row < m_rows.size(); ++row) {
        const Row &r = m_rows.at(row);
        if (r.shape) {
            const int number = MainScene::shapeNumber(r.shape);
            const QString name =
                number > 0 ? QStringLiteral("[%1] %2").arg(number).arg(r.shape->typeName()) : r.shape->typeName();
            setItem(row, NameColumn, cell(QStringLiteral("    ") + name));
            for (int column : {CurrentColumn, ShowColumn, ShapesColumn})
                setItem(row, column, cell(QString()));
            continue;
        }
        const bool expanded = m_scene->isLayerExpanded(r.layer);
        QTableWidgetItem *name = cell(r.layer);
        name->setIcon(style()->standardIcon(expanded ? QStyle::SP_ArrowDown : QStyle::SP_ArrowRight));
        setItem(row, NameColumn, name);
        setItem(row, CurrentColumn, checkCell(r.layer == m_scene->layerName()));
        setItem(row, ShowColumn, checkCell(m_scene->isLayerVisible(r.layer)));
        setItem(row, ShapesColumn, cell(QString::number(m_scene->layerShapes(r.layer).size())));
    }
}

void ExpandableTableWidget::onCellClicked(int row, int column)
{
    if (!m_scene || row < 0 || row >= m_rows.size() || m_rows.at(row).shape)
        return;
    const QString layer = m_rows.at(row).layer;
    switch (column) {
    case NameColumn:
        m_scene->setLayerExpanded(layer, !m_scene->isLayerExpanded(layer));
        refresh();
        break;
    case CurrentColumn:
        m_scene->onSetCurLayer(layer);
        break;
    case ShowColumn:
        m_scene->onSetLayerVisible(layer, !m_scene->isLayerVisible(layer));
        break;
    default:
        break;
    }
}

LayerWidget::LayerWidget(QWidget *parent)
    : QWidget(parent)
    , m_table(new ExpandableTableWidget(this))
    , m_new(new QPushButton(this))
    , m_rename(new QPushButton(this))
    , m_delete(new QPushButton(this))
    , m_askName([this](const QString &proposal) {
        bool ok = false;
        const QString name = QInputDialog::getText(this, tr("Layer Name"), tr("Please enter a layer name"),
                                                   QLineEdit::Normal, proposal, &ok);
        return ok ? name : QString();
    })
{
    m_new->setObjectName(QStringLiteral("newLayer_btn"));
    m_rename->setObjectName(QStringLiteral("modifyLayerName_btn"));
    m_delete->setObjectName(QStringLiteral("deleteLayer_btn"));
    auto *buttons = new QHBoxLayout;
    for (QPushButton *button : {m_new, m_rename, m_delete})
        buttons->addWidget(button);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_table);
    layout->addLayout(buttons);
    connect(m_new, &QPushButton::clicked, this, &LayerWidget::on_newLayer_btn_clicked);
    connect(m_rename, &QPushButton::clicked, this, &LayerWidget::on_modifyLayerName_btn_clicked);
    connect(m_delete, &QPushButton::clicked, this, &LayerWidget::on_deleteLayer_btn_clicked);
    retranslate();
}

void LayerWidget::retranslate()
{
    m_new->setText(tr("New Layer"));
    m_rename->setText(tr("Rename Layer"));
    m_delete->setText(tr("Delete Layer"));
    m_table->retranslate();
}

void LayerWidget::on_newLayer_btn_clicked()
{
    MainScene *scene = m_table->scene();
    if (!scene)
        return;
    const QString name = m_askName(scene->nextLayerName());
    if (!name.isNull() && !scene->addLayer(name))
        refused(name);
}

void LayerWidget::on_modifyLayerName_btn_clicked()
{
    MainScene *scene = m_table->scene();
    if (!scene)
        return;
    const QString current = scene->layerName();
    const QString name = m_askName(current);
    if (!name.isNull() && name.trimmed() != current && !scene->renameLayer(current, name))
        refused(name);
}

void LayerWidget::on_deleteLayer_btn_clicked()
{
    if (MainScene *scene = m_table->scene())
        scene->removeLayer(scene->layerName());
}

// Not waited for: nothing depends on the operator reading it.
void LayerWidget::refused(const QString &name)
{
    const QString text = name.trimmed().isEmpty() ? tr("A layer needs a name.")
                                                  : tr("There is already a layer \"%1\".").arg(name.trimmed());
    auto *box = new QMessageBox(QMessageBox::Warning, tr("Layer Name"), text, QMessageBox::Ok, this);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}

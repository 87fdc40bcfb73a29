#pragma once

#include <QPointer>
#include <QTableWidget>
#include <QWidget>

#include <functional>

class Base;
class MainScene;

// The layers of one scene: a row per layer with its name, whether it is current, whether it shows
// and how many shapes it holds; an expanded layer lists its shapes in the rows below it.
// Clicking the name expands or folds the layer, the "Current" cell makes it current and the
// "Show" cell shows or hides it.
class ExpandableTableWidget : public QTableWidget
{
    Q_OBJECT

public:
    enum Column { NameColumn, CurrentColumn, ShowColumn, ShapesColumn, ColumnCount };

    explicit ExpandableTableWidget(QWidget *parent = nullptr);

    MainScene *scene() const { return m_scene; }
    // Follows that scene's layers and shapes; null leaves the table empty.
    void setScene(MainScene *scene);
    // The layer of a row, whether the layer's own or one of its shapes'.
    QString layerAt(int row) const;
    void retranslate();

public slots:
    void refresh();
    void onCellClicked(int row, int column);

private:
    struct Row
    {
        QString layer;
        Base *shape; // null on the layer's own row
    };

    QPointer<MainScene> m_scene;
    QVector<Row> m_rows;
};

// The layer table with its buttons: a new layer, a new name for the current one, and deleting
// the current one with its shapes. The scene refuses an empty or taken name and the last layer.
class LayerWidget : public QWidget
{
    Q_OBJECT

public:
    // Asks for a layer name, proposing one; a null string when the operator cancels.
    using NameAsker = std::function<QString(const QString &proposal)>;

    explicit LayerWidget(QWidget *parent = nullptr);

    ExpandableTableWidget *table() const { return m_table; }
    void setScene(MainScene *scene) { m_table->setScene(scene); }
    void setNameAsker(NameAsker asker) { m_askName = std::move(asker); }
    void retranslate();

public slots:
    void on_newLayer_btn_clicked();
    void on_modifyLayerName_btn_clicked();
    void on_deleteLayer_btn_clicked();

private:
    void refused(const QString &name);

    ExpandableTableWidget *m_table;
    class QPushButton *m_new;
    class QPushButton *m_rename;
    class QPushButton *m_delete;
    NameAsker m_askName;
};

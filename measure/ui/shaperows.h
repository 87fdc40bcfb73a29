#pragma once

#include "base.h"
#include "mainscene.h"

#include <QPair>
#include <QVector>

// Shapes taken out of the scene at their rows and put back there; owns them while out.
class ShapeRows
{
public:
    ShapeRows(MainScene *scene, const QList<int> &rows) : m_scene(scene)
    {
        for (int row : rows)
            m_shapes << qMakePair(row, scene->m_finished.at(row));
    }
    ~ShapeRows()
    {
        if (m_out) {
            for (const auto &shape : qAsConst(m_shapes))
                delete shape.second;
        }
    }
    ShapeRows(const ShapeRows &) = delete;
    ShapeRows &operator=(const ShapeRows &) = delete;

    void take()
    {
        for (int i = m_shapes.size() - 1; i >= 0; --i)
            m_scene->takeShape(m_shapes.at(i).first);
        m_out = true;
    }

    void restore()
    {
        for (const auto &shape : qAsConst(m_shapes))
            m_scene->putShape(shape.second, shape.first);
        m_out = false;
    }

private:
    MainScene *m_scene;
    QVector<QPair<int, Base *>> m_shapes; // by ascending row
    bool m_out = false;
};

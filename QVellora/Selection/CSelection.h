// SPDX-License-Identifier: MIT
#pragma once

#include "Selection/CCategory.h"

#include <QList>
#include <QObject>
#include <QSet>

// The user's selection: the ordered categories with their pictures. It is the one place that
// holds them; the category rows of the edit and category pages, the grid's colour marks, the
// session file and the export plan are views of it or read it. Every change goes through these
// operations and is announced once with exactly what changed; an operation that changes nothing
// announces nothing, so views that forward their user's gestures back here cannot loop.
//
// Categories are added at the bottom and only the bottom one, while empty, is ever taken away
// again (an undone "new category"), so a row number names the same category as long as it exists.
class CSelection : public QObject
{
    Q_OBJECT
public:
    explicit CSelection(QObject* parent = nullptr);

    // The twelve category colours, taken in turn by new categories and again from the first
    // after the twelfth.
    static QList<QColor> colors();
    // The name a new category gets, kept in the records as it is whatever the language; shown
    // translated (shownName), and a translated one typed back is stored as it (storedName).
    static QString defaultName();
    static QString shownName(const QString& name);
    static QString storedName(const QString& shown);

    int count() const { return m_categories.size(); }
    // Rows outside the list give an empty category.
    CCategory at(int row) const { return m_categories.value(row); }
    const QList<CCategory>& categories() const { return m_categories; }
    bool contains(int row, const QString& path) const;
    // The rows whose category holds path, top row first.
    QList<int> rowsHolding(const QString& path) const;
    // The categories that hold pictures, in order, and their rows.
    QList<CCategory> filledCategories() const;
    QList<int> filledRows() const;
    // Distinct pictures held by any category.
    int sortedPictureCount() const;

    // Adds a category at the bottom with the next colour; returns its row.
    int addCategory(const QString& name = QString());
    // Takes the bottom category away if it holds no pictures, giving its colour back to the next
    // new one; returns whether it did.
    bool removeLastCategory();
    // Appends the paths that are not in the category yet, in the given order (an empty path is
    // never a picture); returns those added.
    QStringList addPictures(int row, const QStringList& paths);
    // Takes the paths out of the category; returns those that were in it, in the given order.
    QStringList removePictures(int row, const QStringList& paths);
    // Empties the category; returns what it held.
    QStringList clearPictures(int row);
    void rename(int row, const QString& name);
    // Sets the category's print size; an unknown key means the default size (CPrintSize::byKey).
    void setPrintSize(int row, const QString& key);
    // The free-row rule: there is always one category without pictures to drop into. Adds one at
    // the bottom, named name, when every category holds pictures (or there is none); returns
    // whether it did.
    bool keepFreeRow(const QString& name = QString());

signals:
    void categoryAdded(int row);
    void categoryRemoved(int row);
    void picturesAdded(int row, const QStringList& paths);
    void picturesRemoved(int row, const QStringList& paths);
    void renamed(int row, const QString& name);
    void printSizeChanged(int row, const QString& key);
    // After any of the above: for whoever only needs to know that the selection changed.
    void changed();

private:
    bool isRow(int row) const { return row >= 0 && row < m_categories.size(); }

    QList<CCategory> m_categories;
    // The same pictures per category, for look-ups: adding n pictures stays linear.
    QList<QSet<QString>> m_members;
    int m_nextColor = 0;
};

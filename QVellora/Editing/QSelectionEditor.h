// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>
#include <QStringList>

class CSelection;
class QUndoStack;

// The user's changes to the selection, as undoable steps. Pages hand every gesture here (a drop,
// a deletion, a typed name, a key) instead of changing the selection themselves; each gesture is
// one step of the undo stack, and a gesture that would change nothing leaves no step. Views that
// echo a change back (a row that shows pictures the selection just announced) therefore add
// nothing. The stack lives as long as the run; a restored session starts it empty.
class QSelectionEditor : public QObject
{
    Q_OBJECT
public:
    // newName: what a category made here is called until the user names it.
    QSelectionEditor(CSelection* selection, const QString& newName = DefaultName(),
                     QObject* parent = nullptr);

    // What a new category is called until the user names it ("点击命名").
    static QString DefaultName();
    // A name as the user sees it: the stored default name reads in the interface's language,
    // while the records keep DefaultName() whatever the language.
    static QString shownName(const QString& name);
    // The name to store for what a name field shows: the shown default stays the default.
    static QString storedName(const QString& shown);

    CSelection* selection() const { return m_selection; }
    QUndoStack* undoStack() const { return m_stack; }

    // Puts the pictures the category does not hold yet into it. The row just below the last
    // category names the free row: when no category is free, that category is made first.
    void putInto(int row, const QStringList& paths);
    // Taking out all a category holds is emptying it ("清空").
    void takeOutOf(int row, const QStringList& paths);
    // Takes the pictures out of every category, as one step.
    void takeOutOfAll(const QStringList& paths);
    void addCategory();
    void rename(int row, const QString& name);
    void setPrintSize(int row, const QString& key);
    // Forgets every step (after a restore, which is not the user's work).
    void forgetSteps();

private:
    CSelection* m_selection;
    QUndoStack* m_stack;
    QString m_newName;
};

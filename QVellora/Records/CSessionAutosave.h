// SPDX-License-Identifier: MIT
#pragma once

#include "Records/CLastSession.h"

#include <QObject>
#include <QTimer>
#include <functional>

// Keeps "save_last.js" current while the edit page is in use, so that a crash loses at most the
// last couple of seconds of sorting. The page calls changed() whenever a category gains or loses
// pictures, is added or renamed, or another folder is opened; the first change starts a timer and
// every further change until it fires rides along, so a drag of 100 pictures writes once.
//
// It also answers whether there is anything to save at all: a run in which the edit page was
// never used must not replace the last session with an empty one.
//
// Lives on the interface thread; session() is called there when a write is due.
class CSessionAutosave : public QObject
{
    Q_OBJECT
public:
    using SessionSource = std::function<CLastSession()>;

    explicit CSessionAutosave(SessionSource session, QObject* parent = nullptr);

    void setDelay(int milliseconds) { m_timer.setInterval(milliseconds); } // 2 s unless set
    // Empty (the default): CProgramFiles::saveLastFile(), asked for at each write.
    void setPath(const QString& path) { m_path = path; }

    // True once changed() was called in this run.
    bool wasUsed() const { return m_used; }
    bool isPending() const { return m_timer.isActive(); }
    // While set, changed() is not counted: rebuilding the page from the session file is not a
    // change of the user's work, and must not rewrite that file.
    void setIgnoringChanges(bool ignoring) { m_ignoring = ignoring; }

public slots:
    // Something the session file holds has changed; the file is written within the delay.
    void changed();
    // Writes now if the edit page was used in this run (at close); otherwise leaves the file.
    // Returns whether a file was written.
    bool saveNow();

signals:
    // After every write attempt, with its result.
    void saved(bool ok);

private:
    bool write();

    SessionSource m_session;
    QString m_path;
    QTimer m_timer;
    bool m_used = false;
    bool m_ignoring = false;
};

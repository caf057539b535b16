// SPDX-License-Identifier: MIT
#pragma once

#include <QDateTime>
#include <QHash>
#include <QJsonObject>
#include <QList>
#include <QMutex>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QThreadPool>
#include <QTimer>

#include <memory>

// What became of every picture a service user sent, kept in the record folder as
// "upload_ledger_<user>.js", so that a batch cut off by a kill, a log-out or a lost network can be
// continued, and a picture the service already holds is never sent again.
//
// One entry per picture path: its size, modification time and SHA-256 when it was looked at, and
// its state: waiting, stored (with the storage's key), registered (with the key), or failed (with
// the reason). Entries are written whole through a temporary file (flush checked, renamed into
// place). A change is saved within SaveDelayMs (saveSoon) or at once (save); a client that must
// not go on before a state is on disk (a stored key before its registration) waits for saved().
//
// One ledger object per user and process (forUser), shared by every upload of that user, so two
// uploads never overwrite each other's entries. Interface thread only.
class CUploadLedger : public QObject
{
    Q_OBJECT
public:
    enum class State
    {
        Waiting,
        Stored,
        Registered,
        Failed
    };
    struct Entry
    {
        QString path;
        qint64 size = -1;
        QDateTime modified; // UTC, milliseconds
        QString sha256;     // hex; empty until the content was read
        State state = State::Waiting;
        QString key;    // the storage's object name, once stored
        QString reason; // why it failed, for the user
        int tries = 0;  // requests tried for it since it last succeeded
    };

    static constexpr int SaveDelayMs = 100;

    explicit CUploadLedger(const QString& userId, const QString& file, QObject* parent = nullptr);
    ~CUploadLedger() override;

    // The shared ledger of a user, read from its file on first use.
    static std::shared_ptr<CUploadLedger> forUser(const QString& userId);
    // Writes every ledger of this process that has unsaved changes (the log-out save).
    static bool saveAll();
    // The ledger file of a user in the record folder.
    static QString filePath(const QString& userId);
    // Users whose ledger file in the record folder holds unfinished pictures, each with its count.
    static QHash<QString, int> usersWithUnfinished();

    QString userId() const { return m_userId; }
    QString file() const { return m_file; }
    // Where an unreadable or wrong-shape file was kept aside when it was read; empty otherwise.
    QString keptAside() const { return m_keptAside; }

    bool contains(const QString& path) const { return m_byPath.contains(path); }
    Entry entry(const QString& path) const;
    // Adds or replaces the entry of entry.path; saved soon.
    void put(const Entry& entry);
    // A registered entry with this content, if any (its path is then non-empty).
    Entry registeredContent(const QString& sha256) const;
    // Paths not registered yet whose files are still there, in the order they were first put.
    QStringList unfinished() const;
    int count() const { return m_entries.size(); }

    // Writes now; false (and saveFailed) when the file could not be written whole.
    bool save();
    // Saves within SaveDelayMs on a worker, so that the window never waits for the disk;
    // saved() or saveFailed() follows on this thread.
    void saveSoon();
    // Counts the changes: a change is on disk once savedChanges() reached the count it had.
    quint64 changes() const { return m_changes; }
    quint64 savedChanges() const { return m_savedChanges; }

    static QString stateName(State state);
    static bool stateFromName(const QString& name, State* state);

    // The file's contents, and reading them back: false for anything not written by toJson.
    QJsonObject toJson() const;
    bool fromJson(const QJsonObject& object);

signals:
    void saved(quint64 changes);
    void saveFailed(const QString& file);

private:
    // Every write of one ledger's file, in turn, whichever thread makes it; an older state is
    // never written over a newer one.
    struct Writer
    {
        QMutex mutex;
        quint64 written = 0;
        bool write(const QString& file, const QString& userId, const QList<Entry>& entries, quint64 changes);
    };

    void load();
    void saveInBackground();
    void savedInBackground(bool ok, quint64 changes);
    static QJsonObject layout(const QString& userId, const QList<Entry>& entries);

    QString m_userId;
    QString m_file;
    QString m_keptAside;
    QList<Entry> m_entries;
    QHash<QString, int> m_byPath;
    QHash<QString, int> m_registeredBySha;
    QTimer m_saveTimer;
    quint64 m_changes = 0;
    quint64 m_savedChanges = 0;
    std::shared_ptr<Writer> m_writer = std::make_shared<Writer>();
    bool m_writing = false; // a save on the worker, not reported yet
    QThreadPool m_writePool;
};

// SPDX-License-Identifier: MIT
#pragma once

#include "CProgramFiles.h"
#include "OtherWidget/QUserDialogs.h"

#include <QDialog>
#include <QStringList>

#include <functional>

// Answers every modal question while it lives: the folder dialog returns `folder` (empty for
// "cancelled"), notices are collected in `notices`, and exec() runs `exec` (rejects by default).
// Record files go to recordFolder meanwhile. Both are restored when it goes.
class AnsweredDialogs
{
public:
    explicit AnsweredDialogs(const QString& recordFolder)
    {
        CProgramFiles::setRecordFolderOverride(recordFolder);
        QUserDialogs::Answers answers;
        answers.folder = [this](const QString&, const QString&) { return folder; };
        answers.notice = [this](const QString&, const QString& text) { notices.append(text); };
        answers.exec = [this](QDialog* dialog) { return exec(dialog); };
        QUserDialogs::setAnswers(answers);
    }
    ~AnsweredDialogs()
    {
        QUserDialogs::clearAnswers();
        CProgramFiles::setRecordFolderOverride(QString());
    }
    AnsweredDialogs(const AnsweredDialogs&) = delete;
    AnsweredDialogs& operator=(const AnsweredDialogs&) = delete;

    QString folder;
    QStringList notices;
    std::function<int(QDialog*)> exec = [](QDialog*) { return int(QDialog::Rejected); };
};

// SPDX-License-Identifier: MIT
#pragma once

#include "CProgramFiles.h"
#include "Dialogs/QUserDialogs.h"

#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QStringList>
#include <QTest>

#include <functional>

// Answers every modal question while it lives: the folder dialog returns `folder` (empty for
// "cancelled"), notices are collected in `notices`, questions in `questions` (answered with
// `proceed`, go on by default), and exec() runs `exec` (rejects by default).
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
        answers.question = [this](const QString&, const QString& text) {
            questions.append(text);
            return proceed;
        };
        QUserDialogs::setAnswers(answers);
    }
    ~AnsweredDialogs()
    {
        QUserDialogs::clearAnswers();
        CProgramFiles::setRecordFolderOverride(QString());
    }
    AnsweredDialogs(const AnsweredDialogs&) = delete;
    AnsweredDialogs& operator=(const AnsweredDialogs&) = delete;

    // Answers the login dialog as a user does: the account typed into its fields, the login button
    // pressed; accepted once the service let the user in. Every login is counted in logins.
    void logInAs(const QString& name, const QString& password)
    {
        exec = [this, name, password](QDialog* dialog) {
            ++logins;
            QSignalSpy accepted(dialog, &QDialog::accepted);
            dialog->findChild<QLineEdit*>("userNameEdit")->setText(name);
            dialog->findChild<QLineEdit*>("passwordEdit")->setText(password);
            QTest::mouseClick(dialog->findChild<QPushButton*>("loadButton"), Qt::LeftButton);
            return accepted.wait(30000) ? int(QDialog::Accepted) : int(QDialog::Rejected);
        };
    }

    QString folder;
    QStringList notices;
    QStringList questions;
    bool proceed = true;
    int logins = 0;
    std::function<int(QDialog*)> exec = [](QDialog*) { return int(QDialog::Rejected); };
};

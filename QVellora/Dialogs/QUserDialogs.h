// SPDX-License-Identifier: MIT
#pragma once

#include <QCoreApplication>
#include <QString>

#include <functional>

class QDialog;
class QWidget;

// Every modal question the program puts to the user goes through here: the folder choice, the
// page notices and any dialog run with exec(). The program shows the real dialogs; a test installs
// answers instead, so no test ever waits on a person. One seam for all pages keeps the tests'
// side simple: a test answers folder questions, collects notices and drives modal dialogs.
class QUserDialogs
{
    Q_DECLARE_TR_FUNCTIONS(QUserDialogs)

public:
    struct Answers
    {
        // Returns the chosen folder, or an empty text for "cancelled".
        std::function<QString(const QString& title, const QString& startFolder)> folder;
        // Sees the notice; nothing to answer, there is one OK button.
        std::function<void(const QString& title, const QString& text)> notice;
        // Drives the dialog (fill fields, press buttons) and returns its result code.
        std::function<int(QDialog* dialog)> exec;
        // Sees the question; true to go on, false to go back.
        std::function<bool(const QString& title, const QString& text)> question;
    };

    // QFileDialog::getExistingDirectory with only folders shown.
    static QString chooseFolder(QWidget* parent, const QString& title, const QString& startFolder);
    // QMessageBox::information with the title "提示" and one OK button.
    static void information(QWidget* parent, const QString& text);
    // A question with the buttons "继续" and "返回" under the title "提示"; true when the user
    // chose to go on. Closing the box goes back.
    static bool question(QWidget* parent, const QString& text);
    // dialog->exec(), or the test's answer.
    static int exec(QDialog* dialog);

    // Installs the test's answers; a member left empty keeps the real dialog for that kind, except
    // that notices without a handler are only logged and questions without one go on. clearAnswers() restores
    // the real dialogs.
    static void setAnswers(Answers answers);
    static void clearAnswers();
    static bool answering();
};

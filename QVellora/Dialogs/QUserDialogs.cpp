// SPDX-License-Identifier: MIT
#include "Dialogs/QUserDialogs.h"

#include "CLogging.h"

#include <QDialog>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>

namespace {

QUserDialogs::Answers& installed()
{
    static QUserDialogs::Answers answers;
    return answers;
}

bool g_answering = false;

} // namespace

QString QUserDialogs::chooseFolder(QWidget* parent, const QString& title, const QString& startFolder)
{
    if (g_answering && installed().folder)
        return installed().folder(title, startFolder);
    return QFileDialog::getExistingDirectory(parent, title, startFolder, QFileDialog::ShowDirsOnly);
}

void QUserDialogs::information(QWidget* parent, const QString& text)
{
    const QString title = tr("提示");
    if (g_answering) {
        qCDebug(lcPages) << "notice:" << text;
        if (installed().notice)
            installed().notice(title, text);
        return;
    }
    QMessageBox::information(parent, title, text, QMessageBox::Ok);
}

bool QUserDialogs::question(QWidget* parent, const QString& text)
{
    const QString title = tr("提示");
    if (g_answering) {
        qCDebug(lcPages) << "question:" << text;
        return installed().question ? installed().question(title, text) : true;
    }
    QMessageBox box(QMessageBox::Question, title, text, QMessageBox::NoButton, parent);
    QPushButton* proceed = box.addButton(tr("继续"), QMessageBox::AcceptRole);
    box.addButton(tr("返回"), QMessageBox::RejectRole);
    box.exec();
    return box.clickedButton() == proceed;
}

int QUserDialogs::exec(QDialog* dialog)
{
    if (g_answering && installed().exec)
        return installed().exec(dialog);
    return dialog->exec();
}

void QUserDialogs::setAnswers(Answers answers)
{
    installed() = std::move(answers);
    g_answering = true;
}

void QUserDialogs::clearAnswers()
{
    installed() = Answers();
    g_answering = false;
}

bool QUserDialogs::answering()
{
    return g_answering;
}

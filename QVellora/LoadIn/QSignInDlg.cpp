// SPDX-License-Identifier: MIT
#include "LoadIn/QSignInDlg.h"

#include "Dialogs/QNoticeBox.h"
#include "LoadIn/QCentredRow.h"
#include "Service/CAccountClient.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

QSignInDlg::QSignInDlg(QWidget* parent) : QDialog(parent), m_client(new CAccountClient(this))
{
    setWindowTitle(tr("注册"));
    resize(300, 200);
    createWidgets();

    connect(m_client, &CAccountClient::registrationFinished, this, &QSignInDlg::showAnswer);
    connect(m_signButton, &QPushButton::clicked, this, &QSignInDlg::onCheckSignButton);
    connect(m_cancelButton, &QPushButton::clicked, this, &QSignInDlg::onCheckCancelButton);
}

void QSignInDlg::createWidgets()
{
    new QVBoxLayout(this);
    m_userNameEdit = addField(tr("  用户名："), QStringLiteral("userNameEdit"), false);
    m_nicknameEdit = addField(tr("    昵称："), QStringLiteral("nicknameEdit"), false);
    m_passwordEdit = addField(tr("    密码："), QStringLiteral("passwordEdit"), true);
    m_confirmEdit = addField(tr("确认密码："), QStringLiteral("confirmEdit"), true);
    m_signButton = new QPushButton(tr("注册"));
    m_signButton->setObjectName(QStringLiteral("signButton"));
    m_cancelButton = new QPushButton(tr("关闭"));
    m_cancelButton->setObjectName(QStringLiteral("cancelButton"));
    static_cast<QVBoxLayout*>(layout())->addLayout(QCentredRow::make({m_signButton, m_cancelButton}));
}

QLineEdit* QSignInDlg::addField(const QString& caption, const QString& objectName, bool secret)
{
    auto* edit = new QLineEdit;
    edit->setObjectName(objectName);
    edit->setMaximumWidth(100);
    if (secret)
        edit->setEchoMode(QLineEdit::Password);
    static_cast<QVBoxLayout*>(layout())->addLayout(QCentredRow::make({new QLabel(caption), edit}));
    return edit;
}

void QSignInDlg::onCheckSignButton()
{
    m_client->registerAccount(m_userNameEdit->text(), m_nicknameEdit->text(), m_passwordEdit->text(),
                              m_confirmEdit->text());
}

void QSignInDlg::onCheckCancelButton()
{
    close();
}

void QSignInDlg::showAnswer(const CAccountAnswer& answer)
{
    if (!answer.registrationSucceeded()) {
        QNoticeBox::about(this, answer.failureText(tr("注册失败，请检查网络后重试")));
        return;
    }
    const QString text = answer.msg().isEmpty() ? tr("注册成功") : answer.msg();
    connect(QNoticeBox::about(this, text), &QDialog::finished, this, &QDialog::accept);
}

// SPDX-License-Identifier: MIT
#include "LoadIn/QLoadInDlg.h"

#include "Dialogs/QUserDialogs.h"
#include "LoadIn/QCentredRow.h"
#include "LoadIn/QSignInDlg.h"
#include "Service/CAccountClient.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

QLoadInDlg::QLoadInDlg(QWidget* parent)
    : QDialog(parent), m_signInDlg(new QSignInDlg(nullptr)), m_client(new CAccountClient(this))
{
    setWindowTitle(tr("登陆"));
    resize(300, 200);
    createWidgets();

    connect(m_client, &CAccountClient::loginFinished, this, &QLoadInDlg::showAnswer);
    connect(m_loadButton, &QPushButton::clicked, this, &QLoadInDlg::onCheckLoadButton);
    connect(m_signButton, &QPushButton::clicked, this, &QLoadInDlg::onCheckSignButton);
}

QLoadInDlg::~QLoadInDlg() = default;

void QLoadInDlg::createWidgets()
{
    m_userNameLabel = new QLabel(tr("用户名："));
    m_userNameEdit = new QLineEdit;
    m_userNameEdit->setObjectName(QStringLiteral("userNameEdit"));
    m_userNameEdit->setMaximumWidth(100);
    m_passwordLabel = new QLabel(tr("  密码："));
    m_passwordEdit = new QLineEdit;
    m_passwordEdit->setObjectName(QStringLiteral("passwordEdit"));
    m_passwordEdit->setMaximumWidth(100);
    m_passwordEdit->setEchoMode(QLineEdit::Password);
    m_loadButton = new QPushButton(tr("登陆"));
    m_loadButton->setObjectName(QStringLiteral("loadButton"));
    m_signButton = new QPushButton(tr("注册"));
    m_signButton->setObjectName(QStringLiteral("signButton"));
    m_statusLabel = new QLabel;
    m_statusLabel->setObjectName(QStringLiteral("statusLabel"));
    m_statusLabel->setMaximumHeight(20);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(QCentredRow::make({m_userNameLabel, m_userNameEdit}));
    layout->addLayout(QCentredRow::make({m_passwordLabel, m_passwordEdit}));
    layout->addLayout(QCentredRow::make({m_statusLabel}));
    layout->addLayout(QCentredRow::make({m_loadButton, m_signButton}));
}

void QLoadInDlg::onCheckLoadButton()
{
    m_client->login(m_userNameEdit->text(), m_passwordEdit->text());
    m_statusLabel->setText(tr("正在登陆..."));
}

void QLoadInDlg::onCheckSignButton()
{
    QUserDialogs::exec(m_signInDlg.data());
}

void QLoadInDlg::showAnswer(const CAccountAnswer& answer)
{
    if (!answer.loginSucceeded()) {
        m_statusLabel->setText(answer.failureText(tr("登陆失败，请检查网络后重试")));
        return;
    }
    m_statusLabel->setText(tr("登陆成功"));
    m_userId = answer.zovid();
    accept();
}

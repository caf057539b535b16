// SPDX-License-Identifier: MIT
#include "QLoadInDlg.h"

#include "CAccountAnswer.h"
#include "CFormBody.h"
#include "CServiceEndpoints.h"
#include "LoadIn/QCentredRow.h"
#include "LoadIn/QSignInDlg.h"
#include "OtherWidget/QUserDialogs.h"

#include <QDebug>
#include <QLabel>
#include <QLineEdit>
#include <QNetworkAccessManager>
#include <QPushButton>
#include <QVBoxLayout>

QLoadInDlg::QLoadInDlg(QWidget* parent) : QDialog(parent), m_signInDlg(new QSignInDlg(nullptr))
{
    setWindowTitle(QStringLiteral("登陆"));
    resize(300, 200);
    createWidgets();

    m_networkManager = new QNetworkAccessManager(this);
    connect(m_networkManager, &QNetworkAccessManager::finished, this, &QLoadInDlg::replyFinished);
    connect(m_loadButton, &QPushButton::clicked, this, &QLoadInDlg::onCheckLoadButton);
    connect(m_signButton, &QPushButton::clicked, this, &QLoadInDlg::onCheckSignButton);
}

QLoadInDlg::~QLoadInDlg() = default;

void QLoadInDlg::createWidgets()
{
    m_userNameLabel = new QLabel(QStringLiteral("用户名："));
    m_userNameEdit = new QLineEdit;
    m_userNameEdit->setObjectName(QStringLiteral("userNameEdit"));
    m_userNameEdit->setMaximumWidth(100);
    m_passwordLabel = new QLabel(QStringLiteral("  密码："));
    m_passwordEdit = new QLineEdit;
    m_passwordEdit->setObjectName(QStringLiteral("passwordEdit"));
    m_passwordEdit->setMaximumWidth(100);
    m_passwordEdit->setEchoMode(QLineEdit::Password);
    m_loadButton = new QPushButton(QStringLiteral("登陆"));
    m_loadButton->setObjectName(QStringLiteral("loadButton"));
    m_signButton = new QPushButton(QStringLiteral("注册"));
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
    CFormBody form;
    form.add(QStringLiteral("username"), m_userNameEdit->text())
        .add(QStringLiteral("password"), m_passwordEdit->text());
    m_reply = m_networkManager->post(form.request(CServiceEndpoints::login()), form.toByteArray());
    connect(m_reply, &QNetworkReply::errorOccurred, this, &QLoadInDlg::upLoadError);
    connect(m_reply, &QNetworkReply::uploadProgress, this, &QLoadInDlg::OnUploadProgress);
    m_statusLabel->setText(QStringLiteral("正在登陆..."));
}

void QLoadInDlg::onCheckSignButton()
{
    QUserDialogs::exec(m_signInDlg.data());
}

void QLoadInDlg::replyFinished(QNetworkReply* reply)
{
    reply->deleteLater();
    const CAccountAnswer answer = CAccountAnswer::fromReply(reply);
    qDebug() << "login answer" << answer.msg() << answer.zovid() << answer.error() << reply->error();
    if (!answer.loginSucceeded()) {
        m_statusLabel->setText(answer.failureText(QStringLiteral("登陆失败，请检查网络后重试")));
        return;
    }
    m_statusLabel->setText(QStringLiteral("登陆成功"));
    m_userId = answer.zovid();
    accept();
}

void QLoadInDlg::upLoadError(QNetworkReply::NetworkError errorCode)
{
    qDebug() << "login upLoadError" << errorCode;
}

void QLoadInDlg::OnUploadProgress(qint64 bytesSent, qint64 bytesTotal)
{
    qDebug() << "login OnUploadProgress" << bytesSent << bytesTotal;
}

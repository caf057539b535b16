// SPDX-License-Identifier: MIT
#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTextEdit;

// The user survey shown by the category page's finish button. The answer is whichever happened
// last: a radio click, or the whole text of the "other" box after each change. Nothing is sent;
// the window reads GetSubmitText() at close for the usage record.
class QCateNextMakeDlg : public QDialog
{
    Q_OBJECT
public:
    explicit QCateNextMakeDlg(QWidget* parent = nullptr);

    // Answer, e-mail and QQ number joined without separator ("满意" for an untouched survey).
    QString GetSubmitText();

signals:
    void sigSubmitCloseSoft();

public slots:
    void onCheckGoodRadio();
    void onCheckNotGoodRadio();
    void onChangeOtherText();
    void onSubmitBack();
    void onSubmitClose();

private:
    void createWidgets();

    QLabel* m_question = nullptr;
    QRadioButton* m_goodRadio = nullptr;
    QRadioButton* m_notGoodRadio = nullptr;
    QLabel* m_otherLabel = nullptr;
    QTextEdit* m_otherText = nullptr;
    QPushButton* m_submitBackButton = nullptr;
    QPushButton* m_submitCloseButton = nullptr;
    QLabel* m_contactLabel = nullptr;
    QLabel* m_emailLabel = nullptr;
    QLabel* m_qqLabel = nullptr;
    QLineEdit* m_emailEdit = nullptr;
    QLineEdit* m_qqEdit = nullptr;
    QString m_answer;
    QString m_email;
    QString m_qq;
};

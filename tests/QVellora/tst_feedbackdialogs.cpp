// SPDX-License-Identifier: MIT
#include "CatePage/QCateMakeWidget.h"
#include "CatePage/QCateNextMakeDlg.h"
#include "CatePage/QCatePage.h"
#include "Dialogs/QUserDialogs.h"
#include "OtherWidget/QDrawImageButton.h"
#include "PageParts.h"

#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTextEdit>
#include <QtTest>

// The survey: the answer is whatever happened last, and only "提交后关闭软件" asks to close.
class tst_FeedbackDialogs : public QObject
{
    Q_OBJECT
private slots:
    void cleanup();
    void answerRules_data();
    void answerRules();
    void closingFromTheSurveyReachesThePage();
    void titleBarCloseEmitsNothing();
};

void tst_FeedbackDialogs::cleanup()
{
    QUserDialogs::clearAnswers();
}

void tst_FeedbackDialogs::answerRules_data()
{
    // Steps: "good", "bad" (radio clicks), "type:<text>" (typed into the other box).
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QString>("email");
    QTest::addColumn<QString>("qq");
    QTest::addColumn<QString>("expected");

    QTest::newRow("untouched") << QStringList() << ""
                               << ""
                               << "满意";
    QTest::newRow("not satisfied") << QStringList{"bad"} << ""
                                   << ""
                                   << "不满意";
    QTest::newRow("typed text") << QStringList{"type:too slow"} << "a@b.c"
                                << "12345"
                                << "too slowa@b.c12345";
    QTest::newRow("radio after typing") << QStringList{"type:too slow", "bad"} << ""
                                        << ""
                                        << "不满意";
    QTest::newRow("typing after radio") << QStringList{"bad", "type:fine"} << ""
                                        << "99"
                                        << "fine99";
    QTest::newRow("satisfied again") << QStringList{"bad", "good"} << ""
                                     << ""
                                     << "满意";
}

void tst_FeedbackDialogs::answerRules()
{
    QFETCH(QStringList, steps);
    QFETCH(QString, email);
    QFETCH(QString, qq);
    QFETCH(QString, expected);

    QCatePage page;
    QUserDialogs::Answers answers;
    answers.exec = [&](QDialog* dialog) {
        dialog->show();
        for (const QString& step : steps) {
            if (step == "good" || step == "bad") {
                // On the round indicator: the button spans the dialog, its text does not.
                auto* radio = dialog->findChild<QRadioButton*>(step == "good" ? "goodRadio" : "notGoodRadio");
                QTest::mouseClick(radio, Qt::LeftButton, {}, QPoint(6, radio->height() / 2));
            } else
                QTest::keyClicks(dialog->findChild<QTextEdit*>("otherText"), step.mid(5));
        }
        QTest::keyClicks(dialog->findChild<QLineEdit*>("emailEdit"), email);
        QTest::keyClicks(dialog->findChild<QLineEdit*>("qqEdit"), qq);
        QTest::mouseClick(dialog->findChild<QPushButton*>("submitBackButton"), Qt::LeftButton);
        return int(QDialog::Accepted);
    };
    QUserDialogs::setAnswers(answers);
    QSignalSpy close(&page, &QCatePage::sigCloseTheSoft);
    QTest::mouseClick(
        PageParts::find<QCateMakeWidget>(&page, "makeWidget")->findChild<QDrawImageButton*>("finishButton"),
        Qt::LeftButton);

    QCOMPARE(page.GetSubmitText(), expected);
    QCOMPARE(close.count(), 0);
    QVERIFY(!PageParts::find<QCateMakeWidget>(&page, "makeWidget")->GetSurveyDialog()->isVisible());
}

void tst_FeedbackDialogs::closingFromTheSurveyReachesThePage()
{
    QCatePage page;
    QUserDialogs::Answers answers;
    answers.exec = [](QDialog* dialog) {
        dialog->show();
        QTest::mouseClick(dialog->findChild<QPushButton*>("submitCloseButton"), Qt::LeftButton);
        return int(QDialog::Accepted);
    };
    QUserDialogs::setAnswers(answers);
    QSignalSpy close(&page, &QCatePage::sigCloseTheSoft);
    QTest::mouseClick(
        PageParts::find<QCateMakeWidget>(&page, "makeWidget")->findChild<QDrawImageButton*>("finishButton"),
        Qt::LeftButton);
    QCOMPARE(close.count(), 1);
    QCOMPARE(page.GetSubmitText(), QString("满意"));
}

void tst_FeedbackDialogs::titleBarCloseEmitsNothing()
{
    QCateNextMakeDlg dialog;
    QSignalSpy close(&dialog, &QCateNextMakeDlg::sigSubmitCloseSoft);
    dialog.show();
    QTest::keyClicks(dialog.findChild<QTextEdit*>("otherText"), "kept");
    dialog.close();
    QCOMPARE(close.count(), 0);
    // Reopened, it shows the previous text and answer.
    dialog.show();
    QCOMPARE(dialog.findChild<QTextEdit*>("otherText")->toPlainText(), QString("kept"));
    QCOMPARE(dialog.GetSubmitText(), QString("kept"));
}

QTEST_MAIN(tst_FeedbackDialogs)
#include "tst_feedbackdialogs.moc"

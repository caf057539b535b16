// SPDX-License-Identifier: MIT
#pragma once

#include <QScopedPointer>
#include <QWidget>

class QCateNextMakeDlg;
class QDrawImageButton;

// The category page's button bar: back, export, open the export folder, upload, print order and
// finish. Finish runs the survey, which the bar keeps for its life so that reopening it shows the
// previous answers.
class QCateMakeWidget : public QWidget
{
    Q_OBJECT
public:
    explicit QCateMakeWidget(QWidget* parent = nullptr);
    ~QCateMakeWidget() override;

    // The survey's result (QCateNextMakeDlg::GetSubmitText).
    QString GetSubmitText();
    QCateNextMakeDlg* GetSurveyDialog() const { return m_survey.data(); }

signals:
    void sigCheckCallBackButton();
    void sigCheckOutPutImageButton();
    void sigCheckOpenImageButton();
    void sigCheckUdataNetButton();
    void sigCheckPushImageButton();
    void sigCheckNextCloseSoft();

public slots:
    void onCheckNextMakeButton();

private:
    QDrawImageButton* m_backButton;
    QDrawImageButton* m_exportButton;
    QDrawImageButton* m_openButton;
    QDrawImageButton* m_uploadButton;
    QDrawImageButton* m_printButton;
    QDrawImageButton* m_finishButton;
    QScopedPointer<QCateNextMakeDlg> m_survey; // a window of its own, made without a parent
};

#pragma once

#include "layout/form.h"

struct Progress;
class QChartView;
class QComboBox;
class QLabel;
class QPushButton;
class QTableWidget;

// A pupil's progress over a period, for the teacher: right answers per
// spelling family over time, the words most often missed, the sessions and
// the switch checks.
// It prints, exports the answers as CSV and removes the pupil's history.
class FormProgressi : public Form
{
    Q_OBJECT

public:
    explicit FormProgressi(QWidget *parent = nullptr);

    QComboBox *periodList() const { return m_periodList; }
    QChartView *chartView() const { return m_chartView; }
    QTableWidget *missedWords() const { return m_missedWords; }
    QTableWidget *sessions() const { return m_sessions; }
    QTableWidget *switchChecks() const { return m_switchChecks; }
    QLabel *notice() const { return m_notice; }
    QPushButton *printButton() const { return m_printButton; }
    QPushButton *exportButton() const { return m_exportButton; }
    QPushButton *deleteButton() const { return m_deleteButton; }
    QPushButton *closeButton() const { return m_closeButton; }

protected:
    void formActivate() override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    QString pupil() const;
    QDateTime periodStart() const;
    void refresh();
    void showProgress(const Progress &progress);
    void onPrintClicked();
    void onExportClicked();
    void onDeleteClicked();

    QLabel *m_title = nullptr;
    QComboBox *m_periodList = nullptr;
    QLabel *m_summary = nullptr;
    QChartView *m_chartView = nullptr;
    QLabel *m_notice = nullptr;
    QTableWidget *m_missedWords = nullptr;
    QTableWidget *m_sessions = nullptr;
    QTableWidget *m_switchChecks = nullptr;
    QPushButton *m_printButton = nullptr;
    QPushButton *m_exportButton = nullptr;
    QPushButton *m_deleteButton = nullptr;
    QPushButton *m_closeButton = nullptr;
};

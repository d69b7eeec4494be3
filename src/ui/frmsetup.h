#pragma once

#include <QDialog>
#include <array>

class QLabel;
class QListWidget;
class QListWidgetItem;
class QPushButton;
class frmMain;

// The alarm list dialog ("系统设置"): ticks, deletes, and opens the editor.
// Row r of lstAlm shows item r + 1 of AlarmItems.
class frmSetup : public QDialog
{
    Q_OBJECT
public:
    explicit frmSetup(frmMain &main);
    ~frmSetup() override;

    QListWidget *lstAlm = nullptr;
    QLabel *lblWhatToDo = nullptr;
    QLabel *lblSeleInfo = nullptr;
    // Indexes 0, 2, 3, 4, 5, 6; there is no button 1.
    std::array<QPushButton *, 7> cmdAlm{};
    QPushButton *cmdOK = nullptr;
    QPushButton *cmdCancel = nullptr;

    void RefreshSelectionInfo();
    void cmdAlm_Click(int Index);
    void cmdOK_Click();
    void cmdCancel_Click();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void Form_Load();
    void Form_Unload();
    void FillAlarmList();
    void DeleteSelectedItem();
    void lstAlm_Click();
    void lstAlm_ItemCheck(QListWidgetItem *row);

    frmMain &m_main;
};

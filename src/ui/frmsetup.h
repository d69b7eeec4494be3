#pragma once

#include <QDialog>
#include <QPointer>
#include <array>

class QGroupBox;
class QLabel;
class QListWidget;
class QListWidgetItem;
class QPushButton;
class frmMain;
class frmMsgEdit;

// The alarm list dialog ("系统设置"): ticks, deletes, and opens the editor.
// Row r of lstAlm shows item r + 1 of AlarmItems.
//
// The list keeps its current row and its selection the same: the selected row
// (selectedRow(), or lstAlm->currentRow()) is -1 when no row is selected.
class frmSetup : public QDialog
{
    Q_OBJECT
public:
    explicit frmSetup(frmMain &main);
    ~frmSetup() override;

    QGroupBox *Frame1 = nullptr;
    QListWidget *lstAlm = nullptr;
    QLabel *lblWhatToDo = nullptr;
    QLabel *lblSeleInfo = nullptr;
    // Indexes 0, 2, 3, 4, 5, 6; there is no button 1.
    std::array<QPushButton *, 7> cmdAlm{};
    QPushButton *cmdOK = nullptr;
    QPushButton *cmdCancel = nullptr;

    // The selected row of lstAlm, -1 when none.
    int selectedRow() const;

    void RefreshSelectionInfo();
    void cmdAlm_Click(int Index);
    void cmdOK_Click();
    void cmdCancel_Click();

    void done(int result) override;

protected:
    void closeEvent(QCloseEvent *event) override;
    void changeEvent(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildControls();
    void Form_Load();
    void Form_Unload();
    void FillAlarmList();
    void DeleteSelectedItem();
    void lstAlm_Click();
    void lstAlm_ItemCheck(QListWidgetItem *row);
    void giveRowsCheckBoxes(int first, int last);
    void keepCurrentRowSelected();
    void setPanelText(QLabel *label, const QString &text);

    frmMain &m_main;
    QPointer<frmMsgEdit> m_editor;
    bool m_unloaded = false;
};

#pragma once

#include <QDialog>
#include <QPointer>
#include <array>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class SpinnerBar;
class frmSetup;

// The alarm editor: adds an item (EditMode 0) or edits the item selected in the
// list dialog (EditMode -1). Created afresh for every opening; a top-level window
// of its own that deletes itself when closed. The list dialog stays disabled
// while the editor is open, so its selected row names the edited item throughout.
//
// The item being edited lives in the texts of txtFed. Three of them are hidden
// mirrors of the repeat-kind combo, the enabled check box and the action combo.
// Every field is kept in line with the others by change handlers that run
// synchronously, nested, whenever a text or a spinner value really changes, by
// the user or by the program; an assignment of an unchanged value fires nothing,
// which is what ends each chain.
class frmMsgEdit : public QDialog
{
    Q_OBJECT
public:
    explicit frmMsgEdit(frmSetup &setup);
    ~frmMsgEdit() override;

    // Controls; each has the objectName of its name and index ("txtFed_3").
    std::array<QLabel *, 8> Label1{};
    // The one-line fields. Index 4, the message, is several lines long and is
    // txtFedMessage; its slot here stays empty. fedText and setFedText reach all
    // eight by index.
    std::array<QLineEdit *, 8> txtFed{};
    QPlainTextEdit *txtFedMessage = nullptr;
    std::array<QLineEdit *, 3> txtDate{};
    std::array<SpinnerBar *, 3> VScrollDate{};
    std::array<QLineEdit *, 3> txtTime{};
    std::array<SpinnerBar *, 3> VScrollTime{};
    std::array<QLabel *, 6> Label2{};
    QComboBox *Combo1 = nullptr;
    QComboBox *comboWhatToDo = nullptr;
    QCheckBox *Check1 = nullptr;
    QRadioButton *optEdit = nullptr;
    QPushButton *cmdBrowFile = nullptr;
    std::array<QPushButton *, 3> cmdMsgEditUti{};

    QString fedText(int Index) const;
    void setFedText(int Index, const QString &text);

    // Buttons: 0 OK and return, 1 OK and continue (add mode), 2 cancel.
    void cmdMsgEditUti_Click(int Index);
    void cmdBrowFile_Click();

    // The folder part of a path: "" for a text shorter than 3 characters or
    // without a "/", else the part before the last "/".
    static QString DirectoryOfPath(const QString &path);

protected:
    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    // The separator lines, painted so that screen readers pass them by.
    void paintEvent(QPaintEvent *event) override;

private:
    void buildControls();
    void buildDateTimeRows();
    void buildChoiceControls();
    void buildTabOrder();
    void connectHandlers();

    void Form_Load();
    void Form_Unload();
    void loadItemForEditing(int k);
    void resetForNextItem();

    void Check1_Click();
    void Combo1_Change();
    void Combo1_Click();
    void comboWhatToDo_Change();
    void comboWhatToDo_Click();

    // Date and time entry fields.
    void txtDate_Change(int Index);
    void txtTime_Change(int Index);
    void VScrollDate_Change(int Index);
    void VScrollTime_Change(int Index);
    void txtDate_GotFocus(int Index);
    void txtTime_GotFocus(int Index);
    void txtFed_Change(int Index);
    void composeDate();
    void composeTime();
    void showComboEntry(QComboBox *combo, int entry);

    // Commit. AppendItemFromFields refuses, with a message, when the table is
    // full; both return whether an item was stored.
    bool AppendItemFromFields();
    bool UpdateItemFromFields();
    void storeFields(bool append);
    // Whether text field 0, 4 or 7 comes back from the data file as it stands;
    // if not, says what does not fit and puts the focus there. textFieldsFit
    // checks all three, stopping at the first that does not fit.
    bool fieldFits(int Index);
    bool textFieldsFit();
    bool isEditing() const;

    QPointer<frmSetup> m_setup;
    bool m_unloaded = false;
};

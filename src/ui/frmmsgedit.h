#pragma once

#include <QDialog>

class frmSetup;

// The alarm editor: adds an item (EditMode 0) or edits the item selected in the
// list dialog (EditMode -1). Created afresh for every opening; deletes itself
// when closed.
class frmMsgEdit : public QDialog
{
    Q_OBJECT
public:
    explicit frmMsgEdit(frmSetup &setup);
    ~frmMsgEdit() override;
};

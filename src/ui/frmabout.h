#pragma once

#include <QDialog>

class frmMain;

// The About box; disables the clock panel while it is open.
class frmAbout : public QDialog
{
    Q_OBJECT
public:
    explicit frmAbout(frmMain &main);
    ~frmAbout() override;
};

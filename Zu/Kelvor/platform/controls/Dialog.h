#pragma once
#include <memory>

class DialogWindow;
class QDialog;
class QWidget;
class CHbControl;

// A modal dialog made from a template. The template's positions are dialog
// units; they are turned into pixels with the dialog font (x: average character
// width / 4, y: character height / 8). Controls are found by their id: object
// name "ctl_<id>", label "lbl_<id>".
class CDialog {
public:
    explicit CDialog(int templateId);
    virtual ~CDialog();
    CDialog(const CDialog&) = delete;
    CDialog& operator=(const CDialog&) = delete;

    int DoModal();                      // Create, then the modal loop
    bool Create();                      // creates the window and runs OnInitDialog, not shown
    void EndDialog(int result);
    // While busy, closing the window does nothing; EndDialog still ends it.
    void SetBusy(bool busy);
    void ShowWindow();                  // shows the window now, before the modal loop
    QWidget* GetDlgItem(int id) const;
    QDialog* Window() const;

protected:
    virtual void SetupTemplate(QDialog& window) = 0;  // builds the controls of the template
    virtual void DoDataExchange() {}
    virtual bool OnInitDialog();                      // creates the window, DoDataExchange
    void DDX_Control(int id, CHbControl& control);

private:
    int m_nTemplateId;
    std::unique_ptr<DialogWindow> m_window;
};

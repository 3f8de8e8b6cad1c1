#pragma once

#include <QAction>
#include <QMenu>
#include <QWidget>
#include <memory>

#include "button/xpcmdbutton.h"
#include "mainwindow/DesignLabel.h"
#include "mainwindow/frmPrint.h"
#include "platform/core/Text.h"
#include "platform/printing/Printer.h"
#include "platform/widgets/ClickablePicture.h"
#include "platform/widgets/ErrorReporter.h"
#include "platform/widgets/Panel.h"
#include "platform/widgets/PictureBox.h"
#include "platform/widgets/TextBox.h"

namespace tallyline {

// The program's one window: the text box, the barcode drawn live beneath it,
// its pop-up menu to copy or print, and the logo that opens the help page.
// It keeps no data of its own: the text lives in Text1 and the drawing in
// Picture1's persistent image.
class frmBarCode : public QWidget {
    Q_OBJECT
    // Initialize runs before the controls are made, as the platform runs it:
    // screen readers learn how to see a control before it first speaks.
    static bool Form_Initialize() noexcept;
    const bool initialized_ = Form_Initialize();

public:
    // Failures of the handlers go to reporter; prints go where printers says.
    frmBarCode(ErrorReporter& reporter, PrinterSource printers);
    ~frmBarCode() override;

    // The print form while it is loaded; nothing between prints.
    const frmPrint* LoadedPrintForm() const noexcept { return printForm_.get(); }

    // The controls, in the order of the window's design. Picture2 is made
    // before Picture1 so that Picture1 lies in front of it.
    Panel Picture2;
    PictureBox Picture1;
    TextBox Text1;
    ClickablePicture Picture3;
    DesignLabel Label2;
    DesignLabel Label3;
    DesignLabel Label1;
    QMenu mnuMenu;
    QAction mnuCopy;
    QAction mnuPrint;
    QAction mnuSaveAs;
    const std::unique_ptr<xpcmdbutton> xpcmdbutton1;

public slots:
    // Places Picture1's image on the clipboard as a bitmap, and nothing else.
    void CopyBarcode();
    // Prints Picture1's image through the print form on one page.
    void PrintBarcode();
    // Saves Picture1's image as a file that the user names.
    void SaveBarcode();

protected:
    void paintEvent(QPaintEvent* event) override;

private slots:
    void Text1_Change();
    void Text1_InputRejected();
    void Picture1_MouseDown(short Button, short Shift, float X, float Y);
    void Picture1_MenuKey();
    void Picture3_Click();
    void mnuCopy_Click();
    void mnuPrint_Click();
    void mnuSaveAs_Click();
    void xpcmdbutton1_Click();

private:
    void Form_Load();
    void LayOut();
    // Marks a text with characters that have no bars, in red and in words,
    // and says so too once the text box has refused a character for its length.
    void MarkText(const Text& text);

    ErrorReporter& reporter_;
    PrinterSource printers_;
    std::unique_ptr<frmPrint> printForm_;
    // The text box refused a character for its length, and is still full.
    bool textLimitMet_ = false;
};

}  // namespace tallyline

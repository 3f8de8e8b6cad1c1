#include "mainwindow/frmBarCode.h"

#include <QIcon>
#include <QPaintEvent>
#include <QPainter>
#include <QPixmap>
#include <QStringList>

#include "button/host/DesignData.h"
#include "design/Colours.h"
#include "design/ErrorTexts.h"
#include "design/Fonts.h"
#include "design/Geometry.h"
#include "design/Resources.h"
#include "design/Texts.h"
#include "engine/DrawBar.h"
#include "engine/Symbol.h"
#include "engine/UncarriedCharacters.h"
#include "label/BarcodePicture.h"
#include "label/LabelClipboard.h"
#include "label/LabelFiles.h"
#include "label/LabelPage.h"
#include "mainwindow/HelpPage.h"
#include "mainwindow/SaveDialog_p.h"
#include "platform/picture/OwnImage.h"
#include "platform/picture/QtColour.h"
#include "platform/picture/QtText.h"
#include "platform/widgets/BackColor.h"
#include "platform/widgets/Clipboard.h"
#include "platform/widgets/CommonControls.h"
#include "platform/widgets/ContextMenuKeys.h"
#include "platform/widgets/Guarded.h"
#include "platform/widgets/MousePointer.h"
#include "platform/widgets/PopupMenu.h"
#include "platform/widgets/Shell.h"

namespace tallyline {
namespace {

constexpr short kRightButton = 2;

QPixmap OwnPixmap(const QString& path) { return QPixmap::fromImage(ReadOwnImage(path)); }

// The button as the window saved it. Saved data that cannot be read is
// reported, and the button then starts as a new instance would.
std::unique_ptr<xpcmdbutton> RestoredButton(ErrorReporter& reporter, QWidget* window) {
    try {
        const DesignData saved = ReadDesignDataFile(design::kDesignDataResource);
        if (const PropertyBag* bag = saved.Find(design::kXpcmdbutton1Name)) {
            return std::make_unique<xpcmdbutton>(design::kXpcmdbutton1Name, *bag, reporter, window);
        }
    } catch (...) {
        reporter.Report(design::kRestoreAction, QString::fromStdString(DescribeCurrentException()));
    }
    auto button = std::make_unique<xpcmdbutton>(design::kXpcmdbutton1Name, reporter, window);
    button->InitProperties();
    return button;
}

}  // namespace

frmBarCode::frmBarCode(ErrorReporter& reporter, PrinterSource printers)
    : QWidget(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                           Qt::WindowCloseButtonHint),
      defaultFont_(design::FontOf(design::kDefaultFont)),
      Picture2(this),
      Picture1(this, PictureSurface::Keeping::PixelsAndShapes),
      Text1(this),
      Picture3(this),
      Label2{design::kLabel2Caption,
             design::ToPixels(design::kLabel2),
             design::FontOf(design::kDefaultFont),
             design::kGrey,
             std::nullopt,
             Qt::AlignHCenter,
             false},
      Label3{design::kLabel3Caption,
             design::ToPixels(design::kLabel3),
             design::FontOf(design::kLabel3Font),
             design::kGrey,
             design::kFormBackColor,
             Qt::AlignLeft,
             true},
      Label1{design::kLabel1Caption,
             design::ToPixels(design::kLabel1),
             design::FontOf(design::kLabel1Font),
             kButtonText,
             design::kFormBackColor,
             Qt::AlignLeft,
             true},
      mnuMenu(this),
      mnuCopy(design::kCopyCaption, &mnuMenu),
      mnuPrint(design::kPrintCaption, &mnuMenu),
      mnuSaveAs(design::kSaveAsCaption, &mnuMenu),
      xpcmdbutton1(RestoredButton(reporter, this)),
      reporter_(reporter),
      printers_(std::move(printers)) {
    LayOut();
    connect(&Text1, &QLineEdit::textChanged, this, &frmBarCode::Text1_Change);
    connect(&Text1, &QLineEdit::inputRejected, this, &frmBarCode::Text1_InputRejected);
    connect(&Picture1, &PictureBox::MouseDown, this, &frmBarCode::Picture1_MouseDown);
    connect(&Picture3, &ClickablePicture::Click, this, &frmBarCode::Picture3_Click);
    connect(&mnuCopy, &QAction::triggered, this, &frmBarCode::mnuCopy_Click);
    connect(&mnuPrint, &QAction::triggered, this, &frmBarCode::mnuPrint_Click);
    connect(&mnuSaveAs, &QAction::triggered, this, &frmBarCode::mnuSaveAs_Click);
    connect(xpcmdbutton1.get(), &xpcmdbutton::Click, this, &frmBarCode::xpcmdbutton1_Click);
    OnContextMenuKeys(Picture1, [this] { Picture1_MenuKey(); });
    reporter_.Parent(this);
    Form_Load();
    defaultFont_.Restore();
}

// The button's Terminate may still report; its message then stands alone.
frmBarCode::~frmBarCode() { reporter_.Parent(nullptr); }

bool frmBarCode::Form_Initialize() noexcept {
    InitCommonControls();
    return true;
}

bool frmBarCode::SetFont() {
    setFont(design::FontOf(design::kDefaultFont));
    return true;
}

void frmBarCode::LayOut() {
    setWindowTitle(design::kCaption);
    setWindowIcon(QIcon(OwnPixmap(design::kIconResource)));
    SetBackColor(*this, design::kFormBackColor);
    const QRect client = design::ToPixels(design::kFormClient);
    setGeometry(client);
    setFixedSize(client.size());

    Picture2.setGeometry(design::ToPixels(design::kPicture2));
    Picture2.setFrameStyle(QFrame::WinPanel | QFrame::Sunken);
    SetBackColor(Picture2, kWindowBackground);
    Picture2.setFocusPolicy(Qt::StrongFocus);

    DesignAsBarcodePicture(Picture1);
    Picture1.move(design::ToPixels(design::kPicture1).topLeft());
    Picture1.setCursor(IconPointer());
    Picture1.setFocusPolicy(Qt::StrongFocus);

    Text1.setGeometry(design::ToPixels(design::kText1));
    Text1.setFont(design::FontOf(design::kText1Font));
    Text1.setAlignment(Qt::AlignCenter);
    Text1.setMaxLength(design::kText1MaxLength);
    Text1.setText(design::kSampleText);
    Text1.setAccessibleName(design::kText1AccessibleName);
    Picture1.setAccessibleName(design::kPicture1AccessibleName);
    Picture2.setAccessibleName(design::kPicture2AccessibleName);
    Picture3.setAccessibleName(design::kPicture3AccessibleName);

    Picture3.move(design::ToPixels(design::kPicture3).topLeft());
    Picture3.Picture(OwnPixmap(design::kLogoResource));
    Picture3.setCursor(
        QCursor(OwnPixmap(design::kPointingHandResource), design::kPointingHandHotX, design::kPointingHandHotY));
    Picture3.setFocusPolicy(Qt::StrongFocus);

    xpcmdbutton1->setGeometry(design::ToPixels(design::kXpcmdbutton1));
    xpcmdbutton1->AccessKeys(design::kXpcmdbutton1AccessKeys);

    mnuMenu.addAction(&mnuCopy);
    mnuMenu.addAction(&mnuPrint);
    mnuMenu.addAction(&mnuSaveAs);

    setTabOrder(&Text1, &Picture1);
    setTabOrder(&Picture1, &Picture2);
    setTabOrder(&Picture2, &Picture3);
    setTabOrder(&Picture3, xpcmdbutton1.get());
    Text1.setFocus();
}

void frmBarCode::Form_Load() {
    // A window that cannot draw its first barcode still opens; the next
    // change of the text draws again.
    const Text text = ToText(Text1.text());
    try {
        DrawBarcode(text, Picture1);
    } catch (...) {
    }
    MarkText(text);
}

void frmBarCode::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    // Each keystroke repaints the strip beside the barcode, whose width
    // changes, and nothing of the labels: a label outside what is repainted
    // would be laid out anew only to be clipped away.
    for (const DesignLabel* label : {&Label2, &Label3, &Label1}) {
        if (event->region().intersects(label->Area())) label->Draw(painter);
    }
}

void frmBarCode::Text1_Change() {
    const Text text = ToText(Text1.text());
    Guarded(reporter_, design::kDrawAction, [&] { DrawBarcode(text, Picture1); });
    if (Text1.text().size() < Text1.maxLength()) textLimitMet_ = false;
    MarkText(text);
}

void frmBarCode::Text1_InputRejected() {
    // A paste cut short changes the text too, after this.
    if (Text1.text().size() < Text1.maxLength()) return;
    textLimitMet_ = true;
    MarkText(ToText(Text1.text()));
}

void frmBarCode::MarkText(const Text& text) {
    Guarded(reporter_, design::kDrawAction, [&] {
        const Text uncarried = UncarriedCharacters(text);
        QStringList named;
        for (const char32_t character : uncarried) {
            const char32_t shown = VisibleStandIn(character);
            named.append(ToQString(TextView(&shown, 1)));
        }
        // Most keystrokes change neither the colour nor the note, and setting
        // either again costs the text box a round of its own.
        QPalette palette = Text1.palette();
        const QColor colour = uncarried.empty() ? ToQColor(kWindowText) : ToQColor(design::kUncarriedTextColor);
        if (!palette.isBrushSet(QPalette::Active, QPalette::Text) || palette.color(QPalette::Text) != colour) {
            palette.setColor(QPalette::Text, colour);
            Text1.setPalette(palette);
        }
        QStringList notes;
        if (!uncarried.empty()) notes.append(design::UncarriedNote(named));
        if (textLimitMet_) notes.append(design::kText1LimitNote);
        const QString note = notes.join(u'\n');
        if (note != Text1.toolTip()) Text1.setToolTip(note);
        if (note != Text1.accessibleDescription()) Text1.setAccessibleDescription(note);
        const Text caption = BarcodeCaption(text);
        Text carried = caption;
        const Text uncarriedShown = UncarriedCharacters(caption);
        std::erase_if(carried, [&](char32_t character) { return uncarriedShown.find(character) != Text::npos; });
        Picture1.setAccessibleDescription(design::BarcodeDescription(ToQString(caption), ToQString(carried)));
    });
}

void frmBarCode::Picture1_MouseDown(short Button, short, float, float) {
    Guarded(reporter_, design::kMenuAction, [this, Button] {
        if (!Text1.text().isEmpty() && Button == kRightButton) PopupMenu(mnuMenu);
    });
}

// The keyboard's way to the menu, under the right press's rule, placed on the
// part of the picture that the panel shows.
void frmBarCode::Picture1_MenuKey() {
    Guarded(reporter_, design::kMenuAction, [this] {
        if (!Text1.text().isEmpty()) {
            PopupMenu(mnuMenu, *this, Picture1.geometry().intersected(Picture2.geometry()).center());
        }
    });
}

void frmBarCode::Picture3_Click() {
    Guarded(reporter_, design::kHelpPageAction, [] { Shell(HelpPage()); });
}

void frmBarCode::mnuCopy_Click() { CopyBarcode(); }

void frmBarCode::mnuPrint_Click() { PrintBarcode(); }

void frmBarCode::mnuSaveAs_Click() { SaveBarcode(); }

void frmBarCode::xpcmdbutton1_Click() { CopyBarcode(); }

void frmBarCode::CopyBarcode() {
    Guarded(reporter_, design::kCopyAction, [this] {
        Clipboard::Clear();
        const ClipboardLabel label = LabelForClipboard(Picture1);
        Clipboard::SetData(label.bitmap, Clipboard::kBitmapFormat, label.svg);
    });
}

void frmBarCode::PrintBarcode() {
    Guarded(reporter_, design::kPrintAction, [this] {
        // A failed print leaves its form loaded for the next one.
        if (!printForm_) printForm_ = std::make_unique<frmPrint>();
        printForm_->FitPicture(Picture1.PixelSize());
        PrintLabel(Picture1, printForm_->Page(), printers_, design::PrintDocumentName(Text1.text()));
        printForm_.reset();
    });
}

void frmBarCode::SaveBarcode() {
    Guarded(reporter_, design::kSaveAction, [this] {
        const auto path = AskSavePath(this, Text1.text());
        if (!path) return;
        SaveLabel(Picture1, *path);
        RememberSaveFolder(*path);
    });
}

}  // namespace tallyline

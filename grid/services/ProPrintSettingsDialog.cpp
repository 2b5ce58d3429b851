// The print settings form: four tabs of grouped controls bound to the grid's
// PrintSettings, margins and spacings in mm or inch, a preview of the first page,
// and loading and saving the settings in an ini file.
#include "grid/services/ProPrintSettingsDialog.h"

#include <cmath>
#include <memory>

#include "grid/ProGrid.h"
#include "grid/services/PrintSettingsTabs_p.h"
#include "platform/core/SysUtils.h"

namespace {
template <class T>
T* Put(TComponent* Owner, TWinControl* Parent, int Left, int Top, int Width, int Height, const AnsiString& Caption = "")
{
    T* c = new T(Owner);
    c->SetParent(Parent);
    c->SetBounds(Left, Top, Width, Height);
    if (!Caption.empty())
        c->SetCaption(Caption);
    return c;
}

// A group box with a borderless panel inside that holds its controls (a group box
// paints no graphic controls such as labels).
TGroupBox* Group(TComponent* Owner, TWinControl* Parent, int Left, int Top, int Width, int Height,
                 const AnsiString& Caption, TPanel*& Inside)
{
    auto* g = Put<TGroupBox>(Owner, Parent, Left, Top, Width, Height, Caption);
    Inside = Put<TPanel>(Owner, g, 6, 18, Width - 12, Height - 24);
    Inside->SetBevelOuter(bvNone);
    Inside->SetCaption("");
    return g;
}

TLabel* Label(TComponent* Owner, TWinControl* Parent, int Left, int Top, const AnsiString& Caption,
              TWinControl* Focus = nullptr)
{
    auto* l = Put<TLabel>(Owner, Parent, Left, Top + 3, 10, 15, Caption);
    l->SetAutoSize(true);
    if (Focus)
        l->SetFocusControl(Focus);
    return l;
}

TComboBox* List(TComponent* Owner, TWinControl* Parent, int Left, int Top, int Width,
                std::initializer_list<const char*> Items)
{
    auto* c = Put<TComboBox>(Owner, Parent, Left, Top, Width, 23);
    c->SetStyle(csDropDownList);
    for (const char* i : Items)
        c->Items()->Add(i);
    return c;
}

const std::initializer_list<const char*> kPositions = {"(none)",      "Top Left",     "Top Right",    "Top Center",
                                                       "Bottom Left", "Bottom Right", "Bottom Center"};

void EnableTree(TControl* C, bool On)
{
    C->SetEnabled(On);
    if (auto* w = dynamic_cast<TWinControl*>(C))
        for (int i = 0; i < w->ControlCount(); ++i)
            EnableTree(w->Controls(i), On);
}
}  // namespace

TProGridPrintSettingsForm::TProGridPrintSettingsForm(TComponent* AOwner) : TForm(AOwner)
{
    SetName("ProGridPrintSettingsForm");
    SetCaption("Print Settings");
    SetBorderStyle(bsDialog);
    SetBounds(100, 100, 660, 420);
    Pages = NewPrintSettingsPages(this, 410, 340);
    TWinControl* general = AddPrintSettingsTab(this, "General");
    TWinControl* headers = AddPrintSettingsTab(this, "Headers / Footers");
    TWinControl* margins = AddPrintSettingsTab(this, "Margins");
    TWinControl* prefs = AddPrintSettingsTab(this, "Preferences");
    auto changed = [this](TObject*) { WriteBack(); };
    TPanel* in = nullptr;

    // General.
    BordersGroup = Group(this, general, 6, 6, 390, 80, "Borders:", in);
    BorderList = List(this, in, 110, 2, 160, {"(none)", "Single", "Double", "Vertical", "Horizontal", "Around",
                                              "Around Vertical", "Around Horizontal"});
    Label(this, in, 4, 2, "&Border:", BorderList);
    BorderStyleList = List(this, in, 110, 30, 160, {"Solid", "Dash", "Dot", "Dash Dot", "Dash Dot Dot", "(none)"});
    Label(this, in, 4, 30, "Border &Style:", BorderStyleList);
    GeneralGroup = Group(this, general, 6, 90, 390, 130, "General:", in);
    FitList = List(this, in, 110, 2, 160, {"Never", "Grow to Fit", "Shrink to Fit", "Always"});
    Label(this, in, 4, 2, "Fit to &Page:", FitList);
    AutoSizeCols = Put<TCheckBox>(this, in, 4, 32, 180, 20, "&AutoSize Columns");
    AutoSizeRows = Put<TCheckBox>(this, in, 4, 54, 180, 20, "AutoSize Rows");
    CenterBox = Put<TCheckBox>(this, in, 4, 76, 180, 20, "&Center on Page");
    RepeatRows = Put<TCheckBox>(this, in, 190, 32, 180, 20, "Repeat Fixed Ro&ws");
    RepeatCols = Put<TCheckBox>(this, in, 190, 54, 180, 20, "Repeat Fi&xed Columns");
    GraphicsBox = Put<TCheckBox>(this, in, 190, 76, 180, 20, "Print graphics");
    FontsGroup = Group(this, general, 6, 224, 390, 82, "Fonts:", in);
    HeaderFontBtn = Put<TButton>(this, in, 4, 2, 88, 25, "Header Font");
    FooterFontBtn = Put<TButton>(this, in, 98, 2, 88, 25, "Footer Font");
    TableFontBtn = Put<TButton>(this, in, 192, 2, 88, 25, "Table Font");
    FixedFontBtn = Put<TButton>(this, in, 286, 2, 88, 25, "Fixed Font");
    DisplayFontBox = Put<TCheckBox>(this, in, 4, 34, 200, 20, "Use display font");
    DisplayFontBox->SetChecked(true);

    // Headers / Footers.
    DateTimeGroup = Group(this, headers, 6, 6, 390, 106, "Date / Time:", in);
    DateList = List(this, in, 120, 2, 150, kPositions);
    Label(this, in, 4, 2, "&Date Position:", DateList);
    TimeList = List(this, in, 120, 30, 150, kPositions);
    Label(this, in, 4, 30, "&Time Position:", TimeList);
    DateFormatEdit = Put<TEdit>(this, in, 120, 58, 150, 23);
    Label(this, in, 4, 58, "Date &Format:", DateFormatEdit);
    TitleGroup = Group(this, headers, 6, 116, 390, 96, "Title:", in);
    TitleMemo = Put<TMemo>(this, in, 120, 2, 256, 40);
    Label(this, in, 4, 2, "Title Te&xt:", TitleMemo);
    TitleList = List(this, in, 120, 46, 150, kPositions);
    Label(this, in, 4, 46, "Title Po&sition:", TitleList);
    PagesGroup = Group(this, headers, 6, 216, 390, 94, "Page Numbers:", in);
    PrefixEdit = Put<TEdit>(this, in, 70, 2, 70, 23);
    Label(this, in, 4, 2, "Pr&efix:", PrefixEdit);
    SeparatorEdit = Put<TEdit>(this, in, 70, 30, 70, 23);
    Label(this, in, 4, 30, "Sep&arator:", SeparatorEdit);
    SuffixEdit = Put<TEdit>(this, in, 70, 58, 70, 23);
    Label(this, in, 4, 58, "S&uffix:", SuffixEdit);
    PagesList = List(this, in, 260, 2, 116, kPositions);
    Label(this, in, 156, 2, "&Pages Position:", PagesList);

    // Margins.
    auto spin = [&](TWinControl* Parent, int Left, int Top, const AnsiString& Caption, int Max) {
        auto* s = Put<TProSpinEdit>(this, Parent, Left, Top, 80, 23);
        s->SetSpinType(sptFloat);
        s->SetPrecision(2);
        s->SetMinValue(0);
        s->SetMaxValue(Max);
        s->SetIncrementFloat(0.5);
        Label(this, Parent, Left - 112, Top, Caption, s);
        UnitLabels.push_back(Label(this, Parent, Left + 86, Top, "mm"));
        return s;
    };
    MarginsGroup = Group(this, margins, 6, 6, 390, 120, "Margins:", in);
    TopSpin = spin(in, 116, 2, "&Top Margin :", 500);
    LeftSpin = spin(in, 116, 30, "&Left Margin :", 500);
    RightSpin = spin(in, 116, 58, "&Right Margin :", 500);
    BottomSpin = spin(in, 116, 86 - 2, "&Bottom Margin :", 500);
    MarginsGroup->SetHeight(140);
    in->SetHeight(116);
    MmRadio = Put<TRadioButton>(this, in, 270, 2, 90, 20, "mm");
    InchRadio = Put<TRadioButton>(this, in, 270, 26, 90, 20, "inch");
    MmRadio->SetChecked(true);
    OrientationGroup = Group(this, margins, 6, 150, 390, 54, "Orientation:", in);
    OrientationList = List(this, in, 130, 2, 150, {"Portrait", "Landscape"});
    Label(this, in, 4, 2, "&Page Orientation:", OrientationList);
    SpacingGroup = Group(this, margins, 6, 208, 390, 104, "Spacing:", in);
    RowSpin = spin(in, 116, 2, "Row &Spacing :", 100);
    ColSpin = spin(in, 116, 30, "C&olumn Spacing :", 100);
    TitleSpin = spin(in, 116, 58, "Title &Margin :", 100);
    FLengths = {{TopSpin, &TPrintSettings::HeaderSize, &TPrintSettings::SetHeaderSize, 0, {}},
                {LeftSpin, &TPrintSettings::LeftSize, &TPrintSettings::SetLeftSize, 0, {}},
                {RightSpin, &TPrintSettings::RightSize, &TPrintSettings::SetRightSize, 0, {}},
                {BottomSpin, &TPrintSettings::FooterSize, &TPrintSettings::SetFooterSize, 0, {}},
                {RowSpin, &TPrintSettings::RowSpacing, &TPrintSettings::SetRowSpacing, 0, {}},
                {ColSpin, &TPrintSettings::ColumnSpacing, &TPrintSettings::SetColumnSpacing, 0, {}},
                {TitleSpin, &TPrintSettings::TitleSpacing, &TPrintSettings::SetTitleSpacing, 0, {}}};

    // Preferences.
    SaveGroup = Group(this, prefs, 6, 6, 390, 70, "Save settings", in);
    LoadBtn = Put<TButton>(this, in, 4, 6, 120, 25, "&Load settings");
    SaveBtn = Put<TButton>(this, in, 134, 6, 120, 25, "&Save settings");

    PreviewPanel = Put<TPanel>(this, this, 416, 24, 234, 316);
    PreviewPanel->SetCaption("");
    PreviewBox = Put<TPaintBox>(this, PreviewPanel, 2, 2, 230, 312);
    PreviewBox->OnPaint = [this](TObject*) { PaintPreview(); };
    OkButton = Put<TButton>(this, this, 0, 350, 80, 25, "OK");
    OkButton->SetDefault(true);
    OkButton->SetModalResult(mrOk);
    CancelButton = Put<TButton>(this, this, 0, 350, 80, 25, "Cancel");
    CancelButton->SetCancel(true);
    CancelButton->SetModalResult(mrCancel);
    FontDialog = new TFontDialog(this);
    OpenDialog = new TOpenDialog(this);
    SaveDialog = new TSaveDialog(this);
    for (TOpenDialog* d : {OpenDialog, static_cast<TOpenDialog*>(SaveDialog)})
        d->SetFilter("INI files (*.ini)|*.ini|All files (*.*)|*.*");

    for (TComboBox* c : {BorderList, BorderStyleList, FitList, DateList, TimeList, TitleList, PagesList, OrientationList})
        c->OnChange = changed;
    for (TCheckBox* c : {AutoSizeCols, AutoSizeRows, CenterBox, RepeatRows, RepeatCols, GraphicsBox, DisplayFontBox})
        c->OnClick = changed;
    for (TEdit* e : {DateFormatEdit, PrefixEdit, SeparatorEdit, SuffixEdit})
        e->OnChange = changed;
    TitleMemo->OnChange = changed;
    for (TProSpinEdit* s : {TopSpin, LeftSpin, RightSpin, BottomSpin, RowSpin, ColSpin, TitleSpin})
        s->OnChange = [this, s](TObject*) {
            // A change writes back only a value strictly below the edit's maximum.
            if (!Trim(s->Text()).empty() && s->FloatValue() < s->MaxValue())
                WriteBack();
        };
    HeaderFontBtn->OnClick = [this](TObject*) { EditFont(Grid->PrintSettings()->HeaderFont()); };
    FooterFontBtn->OnClick = [this](TObject*) { EditFont(Grid->PrintSettings()->FooterFont()); };
    TableFontBtn->OnClick = [this](TObject*) { EditFont(Grid->PrintSettings()->Font()); };
    FixedFontBtn->OnClick = [this](TObject*) { EditFont(Grid->PrintSettings()->FixedFont()); };
    MmRadio->OnClick = [this](TObject*) { ChangeUnit(false); };
    InchRadio->OnClick = [this](TObject*) { ChangeUnit(true); };
    LoadBtn->OnClick = [this](TObject*) { LoadSettings(); };
    SaveBtn->OnClick = [this](TObject*) { SaveSettings(); };
    OnShow = changed;
    ApplyPreview(true);
}

double TProGridPrintSettingsForm::Factor() const
{
    return FInch ? 254.0 : 10.0;
}

void TProGridPrintSettingsForm::ShowLength(TLengthEdit& L, int Value)
{
    L.Exact = Value;
    L.Spin->SetFloatValue(Value / Factor());
    L.Shown = L.Spin->Text();
}

void TProGridPrintSettingsForm::UpdateEnabling()
{
    // No item chosen: a value the list does not name (custom borders), which has borders too.
    BorderStyleList->SetEnabled(BorderList->ItemIndex() != 0);
    DateFormatEdit->SetEnabled(DateList->ItemIndex() > 0);
    TitleMemo->SetEnabled(TitleList->ItemIndex() > 0);
    for (TEdit* e : {PrefixEdit, SeparatorEdit, SuffixEdit})
        e->SetEnabled(PagesList->ItemIndex() > 0);
}

void TProGridPrintSettingsForm::FillControls()
{
    if (!Grid)
        return;
    TPrintSettings* ps = Grid->PrintSettings();
    FUpdating = true;
    if (!ps->TitleText().empty()) {
        ps->TitleLines()->SetText(ps->TitleText());
        ps->SetTitleText("");
    }
    // A value beyond a list's items shows no item and is kept until the user chooses one.
    auto choose = [](TComboBox* List, int Value) { List->SetItemIndex(Value < List->Items()->Count() ? Value : -1); };
    choose(BorderList, int(ps->Borders()));
    choose(BorderStyleList, int(ps->BorderStyle()));
    choose(FitList, int(ps->FitToPage()));
    AutoSizeCols->SetChecked(!ps->NoAutoSize());
    AutoSizeRows->SetChecked(!ps->NoAutoSizeRow());
    CenterBox->SetChecked(ps->Centered());
    RepeatRows->SetChecked(ps->RepeatFixedRows());
    RepeatCols->SetChecked(ps->RepeatFixedCols());
    GraphicsBox->SetChecked(ps->PrintGraphics());
    DisplayFontBox->SetChecked(ps->UseDisplayFont());
    DateList->SetItemIndex(int(ps->Date()));
    TimeList->SetItemIndex(int(ps->Time()));
    DateFormatEdit->SetText(ps->DateFormat());
    TitleMemo->Lines()->Assign(ps->TitleLines());
    TitleList->SetItemIndex(int(ps->Title()));
    PrefixEdit->SetText(ps->PagePrefix());
    SeparatorEdit->SetText(ps->PageNumSep());
    SuffixEdit->SetText(ps->PageSuffix());
    PagesList->SetItemIndex(int(ps->PageNr()));
    OrientationList->SetItemIndex(int(ps->Orientation()));
    FDimensions = true;
    for (TLengthEdit& l : FLengths)
        ShowLength(l, (ps->*l.Get)());
    FDimensions = false;
    UpdateEnabling();
    FUpdating = false;
}

void TProGridPrintSettingsForm::WriteBack()
{
    if (FUpdating || !Grid)
        return;
    UpdateEnabling();
    TPrintSettings* ps = Grid->PrintSettings();
    if (BorderList->ItemIndex() >= 0)
        ps->SetBorders(TPrintBorders(BorderList->ItemIndex()));
    if (BorderStyleList->ItemIndex() >= 0)
        ps->SetBorderStyle(TPenStyle(BorderStyleList->ItemIndex()));
    if (FitList->ItemIndex() >= 0)
        ps->SetFitToPage(TFitToPage(FitList->ItemIndex()));
    ps->SetNoAutoSize(!AutoSizeCols->Checked());
    ps->SetNoAutoSizeRow(!AutoSizeRows->Checked());
    ps->SetCentered(CenterBox->Checked());
    ps->SetRepeatFixedRows(RepeatRows->Checked());
    ps->SetRepeatFixedCols(RepeatCols->Checked());
    ps->SetPrintGraphics(GraphicsBox->Checked());
    ps->SetUseDisplayFont(DisplayFontBox->Checked());
    ps->SetDate(TPrintPosition(std::max(DateList->ItemIndex(), 0)));
    ps->SetTime(TPrintPosition(std::max(TimeList->ItemIndex(), 0)));
    ps->SetDateFormat(DateFormatEdit->Text());
    ps->TitleLines()->Assign(TitleMemo->Lines());
    ps->SetTitle(TPrintPosition(std::max(TitleList->ItemIndex(), 0)));
    ps->SetPagePrefix(PrefixEdit->Text());
    ps->SetPageNumSep(SeparatorEdit->Text());
    ps->SetPageSuffix(SuffixEdit->Text());
    ps->SetPageNr(TPrintPosition(std::max(PagesList->ItemIndex(), 0)));
    ps->SetOrientation(OrientationList->ItemIndex() == 1 ? poLandscape : poPortrait);
    for (TLengthEdit& l : FLengths) {
        if (l.Spin->Text() != l.Shown) {
            l.Exact = int(std::lround(l.Spin->FloatValue() * Factor()));
            l.Shown = l.Spin->Text();
        }
        (ps->*l.Set)(l.Exact);
    }
    if (ShowPreview)
        PreviewBox->Invalidate();
}

void TProGridPrintSettingsForm::PaintPreview()
{
    TCanvas* c = PreviewBox->Canvas();
    c->Brush()->SetColor(clWhite);
    c->Brush()->SetStyle(bsSolid);
    c->FillRect(PreviewBox->ClientRect());
    if (!Grid)
        return;
    Grid->SetFastPreview(true);
    Grid->SetPreviewPage(1);
    Grid->PrintPreviewTo(c, PreviewBox->ClientRect());
}

void TProGridPrintSettingsForm::EditFont(TFont* F)
{
    FontDialog->Font()->Assign(F);
    if (FontDialog->Execute()) {
        F->Assign(FontDialog->Font());
        WriteBack();
    }
}

void TProGridPrintSettingsForm::ChangeUnit(bool Inch)
{
    if (Inch == FInch)
        return;
    const double from = Factor();
    FInch = Inch;
    FUpdating = true;
    FDimensions = true;
    for (TLengthEdit& l : FLengths)
        ShowLength(l, l.Spin->Text() == l.Shown ? l.Exact : int(std::lround(l.Spin->FloatValue() * from)));
    for (TLabel* l : UnitLabels)
        l->SetCaption(Inch ? "inch" : "mm");
    FDimensions = false;
    FUpdating = false;
}

void TProGridPrintSettingsForm::ApplyOptions(TPrintSettingsOptions Options)
{
    const std::pair<TGroupBox*, unsigned> groups[] = {
        {BordersGroup, psBorders}, {GeneralGroup, psGeneral},   {FontsGroup, psFonts},
        {DateTimeGroup, psDateTime}, {TitleGroup, psTitle},     {PagesGroup, psPages},
        {MarginsGroup, psMargins}, {SpacingGroup, psSpacing},   {OrientationGroup, psOrientation},
        {SaveGroup, psSaveSettings}};
    for (auto& [g, bit] : groups)
        EnableTree(g, (Options & bit) != 0);
    for (int i = 0; i < TabCount(); ++i) {
        TWinControl* t = TabSheet(i);
        bool any = false;
        for (auto& [g, bit] : groups)
            any = any || (g->Parent() == t && g->Enabled());
        ShowTab(i, any);
    }
    UpdateEnabling();
}

void TProGridPrintSettingsForm::ApplyPreview(bool Show)
{
    ShowPreview = Show;
    PreviewPanel->SetVisible(Show);
    const int w = Pages->Width() + (Show ? 250 : 0);
    SetClientWidth(w);
    OkButton->SetLeft(int(std::lround(w / 2.0)) - OkButton->Width() - 8);
    CancelButton->SetLeft(int(std::lround(w / 2.0)) + 8);
}

void TProGridPrintSettingsForm::ApplyDimensions(TPrintDimensions Dimensions)
{
    (Dimensions == pdinch ? InchRadio : MmRadio)->SetChecked(true);
    ChangeUnit(Dimensions == pdinch);
}

namespace {
// The file a dialog chose; with the ini filter, a name typed without an extension gets ".ini"
// (a dot in a folder's name is no extension).
AnsiString IniFileName(TOpenDialog* Dialog)
{
    AnsiString name = Dialog->FileName();
    if (ExtractFileExt(name).empty() && Dialog->FilterIndex() == 1)
        name += ".ini";
    return name;
}
}  // namespace

void TProGridPrintSettingsForm::LoadSettings()
{
    AnsiString name = IniFile;
    if (name.empty()) {
        if (!OpenDialog->Execute())
            return;
        name = IniFileName(OpenDialog);
    }
    Grid->LoadPrintSettings(name, "PRINTSETTINGS");
    FillControls();
    WriteBack();
}

void TProGridPrintSettingsForm::SaveSettings()
{
    AnsiString name = IniFile;
    if (name.empty()) {
        if (!SaveDialog->Execute())
            return;
        name = IniFileName(SaveDialog);
    }
    Grid->SavePrintSettings(name, "PRINTSETTINGS");
}

// ---------------------------------------------------------------- the dialog component
TProGridPrintSettingsDialog::TProGridPrintSettingsDialog(TComponent* AOwner) : TCommonDialog(AOwner) {}

TProGridPrintSettingsForm* TProGridPrintSettingsDialog::Form()
{
    if (FFormMade)
        return FForm;
    FFormMade = true;
    FForm = new TProGridPrintSettingsForm(this);
    if (FOptionsSet)
        FForm->ApplyOptions(FOptions);
    if (FPreviewSet)
        FForm->ApplyPreview(FPrintPreview);
    if (FDimensionsSet)
        FForm->ApplyDimensions(FPrintDimensions);
    return FForm;
}

TProGridPrintSettingsDialog::~TProGridPrintSettingsDialog() = default;

void TProGridPrintSettingsDialog::SetGrid(TProStringGrid* v)
{
    if (FGrid)
        FGrid->RemoveFreeNotification(this);
    FGrid = v;
    if (FGrid)
        FGrid->FreeNotification(this);
}

void TProGridPrintSettingsDialog::Notification(TComponent* AComponent, TOperation Operation)
{
    TCommonDialog::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FGrid) {
        FGrid = nullptr;
        if (FForm)
            FForm->Grid = nullptr;
    }
    if (Operation == opRemove && AComponent == FForm)
        FForm = nullptr;
}

void TProGridPrintSettingsDialog::SetOptions(TPrintSettingsOptions v)
{
    FOptions = v;
    if (ComponentState() & csDesigning)
        return;
    if (!FFormMade)
        FOptionsSet = true;
    else if (FForm)
        FForm->ApplyOptions(v);
}

void TProGridPrintSettingsDialog::SetPrintPreview(bool v)
{
    FPrintPreview = v;
    if (ComponentState() & csDesigning)
        return;
    if (!FFormMade)
        FPreviewSet = true;
    else if (FForm)
        FForm->ApplyPreview(v);
}

void TProGridPrintSettingsDialog::SetPrintDimensions(TPrintDimensions v)
{
    FPrintDimensions = v;
    if (ComponentState() & csDesigning)
        return;
    if (!FFormMade)
        FDimensionsSet = true;
    else if (FForm)
        FForm->ApplyDimensions(v);
}

bool TProGridPrintSettingsDialog::Execute()
{
    if (!FGrid)
        throw Exception("The dialog does not have a grid component assigned.");
    Form();
    FBusy = true;
    FForm->ShowPreview = FPrintPreview;
    FForm->Grid = FGrid;
    FForm->IniFile = FIniFile;
    if (!FCaption.empty())
        FForm->SetCaption(FCaption);
    auto backup = std::make_unique<TPrintSettings>(FGrid);
    backup->Assign(FGrid->PrintSettings());
    FForm->FillControls();
    bool ok = false;
    try {
        ok = FForm->ShowModal() == mrOk;
    } catch (...) {
        FGrid->PrintSettings()->Assign(backup.get());
        FGrid->SetFastPreview(false);
        FBusy = false;
        throw;
    }
    if (!ok)
        FGrid->PrintSettings()->Assign(backup.get());
    FGrid->SetFastPreview(false);
    FBusy = false;
    return ok;
}

// The "Schedule..." dialog: made in code from an empty template, its
// controls laid out at the main window's dpi in the main window's font, and
// again when it moves to a monitor of another scaling. What the fields mean
// and what its buttons do is the window logic's (scheduledialoglogic.h).
#include "app/winshared.h"

#include <stddef.h>

#include <initializer_list>

#include "app/scheduledialoglogic.h"
#include "app/windowcalls.h"
#include "platform/unicode.h"
#include "theme/catalogue.h"

// The labels, which the layout places too.
constexpr int kLabelDay = 320, kLabelNight = 321, kLabelDayTime = 322, kLabelNightTime = 323;
constexpr int kLabelLatitude = 324, kLabelLongitude = 325;

// The controls in their tab order. A label comes just before its field, so
// that its access key reaches the field; the radio pair comes before the
// fields it enables, so that the arrow keys move between its two buttons.
static const struct {
    const wchar_t *className, *text;
    int id;
    DWORD style;
} kControls[] = {
    {L"STATIC", L"&Day theme:", kLabelDay, SS_LEFT},
    {L"COMBOBOX", L"", IDC_SCHEDULE_DAY, CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP | WS_GROUP},
    {L"STATIC", L"&Night theme:", kLabelNight, SS_LEFT},
    {L"COMBOBOX", L"", IDC_SCHEDULE_NIGHT, CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP | WS_GROUP},
    {L"BUTTON", L"At these &times", IDC_SCHEDULE_ATTIMES, BS_AUTORADIOBUTTON | WS_TABSTOP | WS_GROUP},
    {L"BUTTON", L"At sunrise and &sunset", IDC_SCHEDULE_ATSUN, BS_AUTORADIOBUTTON},
    {L"STATIC", L"Day &at:", kLabelDayTime, SS_LEFT | WS_GROUP},
    {L"EDIT", L"", IDC_SCHEDULE_DAYTIME, ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP},
    {L"STATIC", L"Ni&ght at:", kLabelNightTime, SS_LEFT},
    {L"EDIT", L"", IDC_SCHEDULE_NIGHTTIME, ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP},
    {L"STATIC", L"&Latitude:", kLabelLatitude, SS_LEFT},
    {L"EDIT", L"", IDC_SCHEDULE_LATITUDE, ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP},
    {L"STATIC", L"L&ongitude:", kLabelLongitude, SS_LEFT},
    {L"EDIT", L"", IDC_SCHEDULE_LONGITUDE, ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP},
    {L"BUTTON", L"Parts of the theme", IDC_SCHEDULE_PARTS, BS_GROUPBOX | WS_GROUP},
    // The parts in kCheckOrder, their access keys the dialog's own.
    {L"BUTTON", L"Screen Sa&ver", IDC_SCREENSAVER, BS_AUTOCHECKBOX | WS_TABSTOP | WS_GROUP},
    {L"BUTTON", L"So&unds", IDC_SOUNDS, BS_AUTOCHECKBOX | WS_TABSTOP},
    {L"BUTTON", L"&Mouse Cursors", IDC_CURSORS, BS_AUTOCHECKBOX | WS_TABSTOP},
    {L"BUTTON", L"&Wallpaper", IDC_WALLPAPER, BS_AUTOCHECKBOX | WS_TABSTOP},
    {L"BUTTON", L"Desktop &Icons", IDC_ICONS, BS_AUTOCHECKBOX | WS_TABSTOP},
    {L"BUTTON", L"Window &Colors", IDC_COLORS, BS_AUTOCHECKBOX | WS_TABSTOP},
    {L"BUTTON", L"Window &Fonts", IDC_FONTS, BS_AUTOCHECKBOX | WS_TABSTOP},
    {L"BUTTON", L"Sc&hedule", IDOK, BS_DEFPUSHBUTTON | WS_TABSTOP | WS_GROUP},
    {L"BUTTON", L"Tu&rn off", IDC_SCHEDULE_OFF, BS_PUSHBUTTON | WS_TABSTOP | WS_GROUP},
    {L"BUTTON", L"Cancel", IDCANCEL, BS_PUSHBUTTON | WS_TABSTOP | WS_GROUP},
};
static const wchar_t *const kColourNames[5] = {L"Black", L"Red", L"White", L"Blue", L"Green"};  // from kThemeBlack

// One open dialog's state, kept in its DWLP_USER.
struct ScheduleDialog {
    const ScheduleDialogStart *start;
    Schedule *made;
    HFONT font;     // the controls' font: the main window's, or after a change of dpi
    HFONT ownFont;  // that one when the dialog made it; deleted with the dialog
};

// The text's size in the font, its access-key marks not counted.
static SIZE Measure(HDC dc, const wchar_t *text)
{
    RECT r = {0, 0, 0, 0};
    DrawTextW(dc, text, -1, &r, DT_CALCRECT | DT_SINGLELINE);
    return SIZE{r.right - r.left, r.bottom - r.top};
}

static int WidestOf(HDC dc, std::initializer_list<int> ids)
{
    int widest = 0;
    for (const auto &c : kControls)
        for (int id : ids)
            if (c.id == id && Measure(dc, c.text).cx > widest)
                widest = Measure(dc, c.text).cx;
    return widest;
}

// Every control in its place at dpi for the font, and the dialog's client
// area around them: two rows of themes; the radio pair, each with its two
// fields beside it; the parts in three columns in their group; the buttons at
// the bottom right. Gaps are pixels at 96 dots an inch, grown with the dpi.
static void LayOutScheduleDialog(HWND dialog, HFONT font, int dpi)
{
    HDC dc = GetDC(dialog);
    HGDIOBJ before = SelectObject(dc, font);
    const int line = Measure(dc, L"Window Colors").cy;
    const int gap = DpiScale(10, 96, dpi), small = DpiScale(6, 96, dpi);
    const int field = line + DpiScale(8, 96, dpi), box = line + DpiScale(8, 96, dpi);  // a field; a check mark and its gap
    const int labelWidth = WidestOf(dc, {kLabelDay, kLabelNight});
    const int comboWidth = Measure(dc, L"Green").cx + DpiScale(40, 96, dpi);
    const int radioWidth = box + WidestOf(dc, {IDC_SCHEDULE_ATTIMES, IDC_SCHEDULE_ATSUN});
    const int label1 = WidestOf(dc, {kLabelDayTime, kLabelLatitude}), label2 = WidestOf(dc, {kLabelNightTime, kLabelLongitude});
    const int editWidth = Measure(dc, L"-180.0000").cx + DpiScale(12, 96, dpi);
    const int checkWidth = box + WidestOf(dc, {IDC_SCREENSAVER, IDC_SOUNDS, IDC_CURSORS, IDC_WALLPAPER, IDC_ICONS,
                                               IDC_COLORS, IDC_FONTS});
    const int buttonWidth = WidestOf(dc, {IDOK, IDC_SCHEDULE_OFF, IDCANCEL}) + DpiScale(20, 96, dpi);
    const int buttonHeight = line * 7 / 4;
    SelectObject(dc, before);
    ReleaseDC(dialog, dc);

    const int x1 = gap + radioWidth + gap, e1 = x1 + label1 + small;
    const int x2 = e1 + editWidth + gap, e2 = x2 + label2 + small;
    int width = e2 + editWidth + gap;
    const int checksWidth = 2 * gap + 3 * checkWidth + 2 * gap + 2 * small;
    if (checksWidth > width)
        width = checksWidth;

    struct Place {
        int id, left, top, width, height;
    } places[32];
    int count = 0;
    auto put = [&](int id, int left, int top, int w, int h) { places[count++] = Place{id, left, top, w, h}; };
    const int labelDown = (field - line) / 2;
    int y = gap;
    put(kLabelDay, gap, y + labelDown, labelWidth, line);
    put(IDC_SCHEDULE_DAY, gap + labelWidth + small, y, comboWidth, field * 6);  // with its list
    y += field + small;
    put(kLabelNight, gap, y + labelDown, labelWidth, line);
    put(IDC_SCHEDULE_NIGHT, gap + labelWidth + small, y, comboWidth, field * 6);
    y += field + gap;
    const int modes[2][5] = {{IDC_SCHEDULE_ATTIMES, kLabelDayTime, IDC_SCHEDULE_DAYTIME, kLabelNightTime,
                              IDC_SCHEDULE_NIGHTTIME},
                             {IDC_SCHEDULE_ATSUN, kLabelLatitude, IDC_SCHEDULE_LATITUDE, kLabelLongitude,
                              IDC_SCHEDULE_LONGITUDE}};
    for (const auto &mode : modes) {
        put(mode[0], gap, y, radioWidth, field);
        put(mode[1], x1, y + labelDown, label1, line);
        put(mode[2], e1, y, editWidth, field);
        put(mode[3], x2, y + labelDown, label2, line);
        put(mode[4], e2, y, editWidth, field);
        y += field + small;
    }
    y += gap - small;
    const int rowStep = line * 3 / 2, groupHeight = line + small + 3 * rowStep + small;
    put(IDC_SCHEDULE_PARTS, gap, y, width - 2 * gap, groupHeight);
    for (int k = 0; k < 7; k++)
        put(kCheckOrder[k], 2 * gap + (k / 3) * (checkWidth + small), y + line + small + (k % 3) * rowStep, checkWidth,
            line);
    y += groupHeight + gap;
    const int buttons[3] = {IDOK, IDC_SCHEDULE_OFF, IDCANCEL};
    for (int b = 0; b < 3; b++)
        put(buttons[b], width - gap - (3 - b) * buttonWidth - (2 - b) * small, y, buttonWidth, buttonHeight);

    for (int i = 0; i < count; i++) {
        HWND control = GetDlgItem(dialog, places[i].id);
        SendMessageW(control, WM_SETFONT, (WPARAM)font, FALSE);
        SetWindowPos(control, nullptr, places[i].left, places[i].top, places[i].width, places[i].height,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    }
    WindowSizeClient((PlatWindow)dialog, width, y + buttonHeight + gap, dpi);
    InvalidateRect(dialog, nullptr, TRUE);
}

static void SetText(HWND dialog, int id, const std::string &text)
{
    WindowSetText((PlatWindow)GetDlgItem(dialog, id), text.c_str());
}

static std::string GetText(HWND dialog, int id)
{
    HWND control = GetDlgItem(dialog, id);
    std::wstring wide(GetWindowTextLengthW(control) + 1, L'\0');
    int units = GetWindowTextW(control, &wide[0], (int)wide.size());
    std::string text;
    if (!Utf16ToUtf8((const char16_t *)wide.c_str(), units, &text))
        text = "?";  // a lone surrogate: no field takes it
    return text;
}

// The fields of the mode not chosen are disabled, their labels too.
static void EnableModeFields(HWND dialog)
{
    bool sun = IsDlgButtonChecked(dialog, IDC_SCHEDULE_ATSUN) == BST_CHECKED;
    for (int id : {kLabelDayTime, IDC_SCHEDULE_DAYTIME, kLabelNightTime, IDC_SCHEDULE_NIGHTTIME})
        EnableWindow(GetDlgItem(dialog, id), !sun);
    for (int id : {kLabelLatitude, IDC_SCHEDULE_LATITUDE, kLabelLongitude, IDC_SCHEDULE_LONGITUDE})
        EnableWindow(GetDlgItem(dialog, id), sun);
}

static void FillFields(HWND dialog, const ScheduleDialogStart &start)
{
    const ScheduleFields &f = start.fields;
    for (int id : {IDC_SCHEDULE_DAY, IDC_SCHEDULE_NIGHT}) {
        HWND list = GetDlgItem(dialog, id);
        for (const wchar_t *name : kColourNames)
            SendMessageW(list, CB_ADDSTRING, 0, (LPARAM)name);
        SendMessageW(list, CB_SETCURSEL, (id == IDC_SCHEDULE_DAY ? f.dayTheme : f.nightTheme) - kThemeBlack, 0);
    }
    CheckRadioButton(dialog, IDC_SCHEDULE_ATTIMES, IDC_SCHEDULE_ATSUN,
                     f.atSun ? IDC_SCHEDULE_ATSUN : IDC_SCHEDULE_ATTIMES);
    const struct {
        int id;
        const std::string &text;
    } texts[4] = {{IDC_SCHEDULE_DAYTIME, f.dayTime},
                  {IDC_SCHEDULE_NIGHTTIME, f.nightTime},
                  {IDC_SCHEDULE_LATITUDE, f.latitude},
                  {IDC_SCHEDULE_LONGITUDE, f.longitude}};
    for (const auto &t : texts) {
        SendMessageW(GetDlgItem(dialog, t.id), EM_LIMITTEXT, 40, 0);
        SetText(dialog, t.id, t.text);
    }
    ThemeParts parts = f.parts;
    for (int id : kCheckOrder)
        CheckDlgButton(dialog, id, *PartFlag(&parts, id) ? BST_CHECKED : BST_UNCHECKED);
    EnableWindow(GetDlgItem(dialog, IDC_SCHEDULE_OFF), start.exists);
    EnableModeFields(dialog);
}

static ScheduleFields ReadFields(HWND dialog)
{
    ScheduleFields f = {};
    LRESULT day = SendDlgItemMessageW(dialog, IDC_SCHEDULE_DAY, CB_GETCURSEL, 0, 0);
    LRESULT night = SendDlgItemMessageW(dialog, IDC_SCHEDULE_NIGHT, CB_GETCURSEL, 0, 0);
    f.dayTheme = day >= 0 && day < 5 ? kThemeBlack + (int)day : 0;  // none chosen: 0, refused
    f.nightTheme = night >= 0 && night < 5 ? kThemeBlack + (int)night : 0;
    f.atSun = IsDlgButtonChecked(dialog, IDC_SCHEDULE_ATSUN) == BST_CHECKED;
    f.dayTime = GetText(dialog, IDC_SCHEDULE_DAYTIME);
    f.nightTime = GetText(dialog, IDC_SCHEDULE_NIGHTTIME);
    f.latitude = GetText(dialog, IDC_SCHEDULE_LATITUDE);
    f.longitude = GetText(dialog, IDC_SCHEDULE_LONGITUDE);
    for (int id : kCheckOrder)
        *PartFlag(&f.parts, id) = IsDlgButtonChecked(dialog, id) == BST_CHECKED;
    return f;
}

static void SetUpScheduleDialog(HWND dialog, ScheduleDialog *d)
{
    SetWindowLongPtrW(dialog, DWLP_USER, (LONG_PTR)d);
    KeepDialogManagerFromRelayout(dialog);
    for (const auto &c : kControls)
        CreateWindowExW(0, c.className, c.text, WS_CHILD | WS_VISIBLE | c.style, 0, 0, 0, 0, dialog,
                        (HMENU)(INT_PTR)c.id, (HINSTANCE)AppInstance, nullptr);
    FillFields(dialog, *d->start);
    // Made on the main window's monitor, at its dpi in its font; another
    // monitor's dpi gets a font of its own.
    int dpi = WindowDpi((PlatWindow)dialog);
    d->font = (HFONT)d->start->font;
    if (dpi != d->start->dpi || !d->font)
        d->font = d->ownFont = (HFONT)ControlFontCreate(dpi);
    LayOutScheduleDialog(dialog, d->font, dpi);
    // Centred over the main window.
    RECT owner, mine;
    GetWindowRect(GetWindow(dialog, GW_OWNER), &owner);
    GetWindowRect(dialog, &mine);
    SetWindowPos(dialog, nullptr, (owner.left + owner.right - (mine.right - mine.left)) / 2,
                 (owner.top + owner.bottom - (mine.bottom - mine.top)) / 2, 0, 0,
                 SWP_NOZORDER | SWP_NOSIZE | SWP_NOACTIVATE);
    SetFocus(GetDlgItem(dialog, IDC_SCHEDULE_DAY));
}

static void ScheduleDialogCommand(HWND dialog, ScheduleDialog *d, int id)
{
    switch (id) {
    case IDOK: {
        int control = 0;
        if (ScheduleDialogSchedule((PlatWindow)dialog, ReadFields(dialog), UtcSecondsNow(), d->made, &control))
            EndDialog(dialog, kScheduleDialogStarted);
        else if (control)
            SendMessageW(dialog, WM_NEXTDLGCTL, (WPARAM)GetDlgItem(dialog, control), TRUE);
        return;
    }
    case IDC_SCHEDULE_OFF:
        if (ScheduleDialogTurnOff((PlatWindow)dialog))
            EndDialog(dialog, kScheduleDialogEnded);
        return;
    case IDCANCEL:
        EndDialog(dialog, kScheduleDialogCancelled);
        return;
    case IDC_SCHEDULE_ATTIMES:
    case IDC_SCHEDULE_ATSUN:
        EnableModeFields(dialog);
        return;
    default:
        return;
    }
}

static INT_PTR CALLBACK ScheduleDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    ScheduleDialog *d = (ScheduleDialog *)GetWindowLongPtrW(dialog, DWLP_USER);
    switch (message) {
    case WM_INITDIALOG:
        SetUpScheduleDialog(dialog, (ScheduleDialog *)lParam);
        return FALSE;  // the focus is set
    case kWmDpiChanged: {
        // Moved to a monitor of another scaling: the font and the layout at
        // its dpi, the corner where the system suggests.
        HFONT font = (HFONT)ControlFontCreate(DpiChangedDpi(wParam));
        if (!font)
            return TRUE;
        PixelRect suggested = DpiChangedRect(lParam);
        SetWindowPos(dialog, nullptr, suggested.left, suggested.top, 0, 0,
                     SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOSIZE);
        LayOutScheduleDialog(dialog, font, DpiChangedDpi(wParam));
        DeleteObject(d->ownFont);  // the controls hold the new one now
        d->font = d->ownFont = font;
        return TRUE;
    }
    case WM_COMMAND:
        if (d && HIWORD(wParam) == BN_CLICKED)
            ScheduleDialogCommand(dialog, d, LOWORD(wParam));
        return TRUE;
    default:
        return FALSE;
    }
}

int RunScheduleDialog(PlatWindow main, const ScheduleDialogStart &start, Schedule *made)
{
    // An empty template: a caption, a system menu, no font; the controls are
    // made at WM_INITDIALOG. The template and each array in it on their
    // boundaries: the header on a DWORD's, the arrays on a WORD's.
    struct alignas(4) {
        DLGTEMPLATE header;
        WORD menu, windowClass;
        wchar_t title[9];
    } blank = {{WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, 0, 0, 0, 0, 100, 100}, 0, 0, L"Schedule"};
    static_assert(offsetof(decltype(blank), menu) == 18, "the menu array right after the 18-byte header");
    ScheduleDialog d = {&start, made, nullptr, nullptr};
    INT_PTR ended =
        DialogBoxIndirectParamW((HINSTANCE)AppInstance, &blank.header, (HWND)main, ScheduleDlgProc, (LPARAM)&d);
    DeleteObject(d.ownFont);
    return ended == kScheduleDialogStarted || ended == kScheduleDialogEnded ? (int)ended : kScheduleDialogCancelled;
}

void AddScheduleMenuItem(HWND main)
{
    HMENU menu = GetSystemMenu(main, FALSE);
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu, MF_STRING, kSysSchedule, L"Sc&hedule...");
}

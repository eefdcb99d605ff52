// The skin manager between real windows: the command message with its
// answers in the record and in the result, skin changes and the order in
// which forms hear of them, the lookups, the window hook in place while a
// skin is active, the list of skinned forms and the redraw lock, and
// section backgrounds painted over a parent's cached picture.
#include "gtest_windows.h"
#include "support/skinned_box.h"
#include "support/vcl_test_support.h"
#include "support/scratch_folder.h"

#include "skin/core/skinpack.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>

#include "skin/core/pixelcopy.h"
#include "skin/core/win32/formbroadcast.h"
#include "skin/core/win32/skinmanager.h"

using namespace vcl;
using namespace skin;
using skintest::TProviderForm;
using skintest::TSkinnedBox;

namespace {

constexpr TColor kParentColour = 0x3070B0;
constexpr TColor kOwnColour = 0xD02010;

std::vector<unsigned> Heard(std::vector<unsigned>& commands) {
    std::vector<unsigned> heard;
    heard.swap(commands);
    return heard;
}

// A form of the application with a manager holding our stored skins.
struct SkinnedScene {
    SkinnedScene() {
        form = NewForm<TForm>(Application);
        form->SetBounds(0, 0, 320, 200);
        manager = new TsSkinManager(form);
        manager->SetActive(false);
        AddOwnStoredSkins(manager->InternalSkins());
        panel = new TSkinnedBox(form, "PANEL", 8, 8, 120, 60);
    }
    ~SkinnedScene() { form->Free(); }

    TForm* form;
    TsSkinManager* manager;
    TSkinnedBox* panel;
};

TsGeneralData Plain(const std::string& name, TColor color, int transparency) {
    TsGeneralData gd;
    gd.SectionName = name;
    gd.Color = color;
    gd.Transparency = transparency;
    return gd;
}

TColor WindowPixel(HWND window, int x, int y) {
    HDC dc = GetDC(window);
    const COLORREF c = GetPixel(dc, x, y);
    ReleaseDC(window, dc);
    return static_cast<TColor>(c);
}

TColor Mix(TColor own, TColor parent, int a) {
    auto ch = [a](int o, int p) { return (o * (255 - a) + p * a + 127) >> 8; };
    return MakeColor(ch(RedOf(own), RedOf(parent)), ch(GreenOf(own), GreenOf(parent)), ch(BlueOf(own), BlueOf(parent)));
}

}  // namespace

TEST(SkinCommands, AnswersTravelInTheRecordAndInTheResultBetweenRealWindows) {
    SkinnedScene s;
    auto* plain = new TPanel(s.form);
    plain->SetParent(s.form);
    plain->SetColor(clBtnFace);
    // Asked by message or through WindowProc, the box says it is skinned; a plain panel does not.
    EXPECT_TRUE(SkinCommandAnswered(s.panel->Handle(), AC_QUERYSKINNED));
    EXPECT_TRUE(AskSkinCommand(s.panel, AC_QUERYSKINNED));
    EXPECT_FALSE(SkinCommandAnswered(plain->Handle(), AC_QUERYSKINNED));
    EXPECT_FALSE(AskSkinCommand(plain, AC_QUERYSKINNED));
    // Nobody answers the colour: the control's own colour, as RGB.
    QueryBgColor(plain);
    EXPECT_EQ(ReplyBgColor, static_cast<TColor>(ColorToRGB(clBtnFace)));

    // Codes from 61 on, and skin news from another manager, are not the data's.
    TMessage foreign = SkinCommandMessage(AC_QUERYCLIENTOFFSET);
    EXPECT_FALSE(s.panel->Data.HandleSkinCommand(foreign));
    s.panel->Data.Updating = false;
    TMessage other = SkinCommandMessage(AC_SKINLOADED, reinterpret_cast<LPARAM>(plain));
    EXPECT_FALSE(s.panel->Data.HandleSkinCommand(other));
    EXPECT_FALSE(s.panel->Data.Updating);
    TMessage own = SkinCommandMessage(AC_SKINLOADED, reinterpret_cast<LPARAM>(s.manager));
    EXPECT_TRUE(s.panel->Data.HandleSkinCommand(own));
    EXPECT_TRUE(s.panel->Data.Updating);

    // The cache goes to whoever asks, through the reply record.
    s.panel->Data.InitCacheBitmap();
    ReplyCacheInfo.Ready = false;
    SendSkinCommand(s.panel->Handle(), AC_QUERYCACHE);
    EXPECT_TRUE(ReplyCacheInfo.Ready);
    EXPECT_EQ(ReplyCacheInfo.Bmp.Width, 120);
    ReplyCacheInfo.Ready = false;
}

TEST(SkinManager, SkinChangesReachTheFormsInOrderAndTheHookLivesWithTheSkin) {
    SkinnedScene s;
    ASSERT_EQ(DefaultManager, s.manager);
    Heard(s.panel->Commands);
    int hooked = 0;
    SkinCallPoints.DialogHook = [&hooked](int code, WPARAM, LPARAM) { hooked += code == HCBT_CREATEWND; };

    // With skinning off a new name is only kept.
    s.manager->SetSkinName("Cold (internal)");
    EXPECT_FALSE(s.manager->SkinActive());
    EXPECT_EQ(s.manager->SkinInfo(), "N/A");
    EXPECT_TRUE(Heard(s.panel->Commands).empty());
    EXPECT_FALSE(s.manager->IsHooked);

    s.manager->SetActive(true);
    EXPECT_TRUE(s.manager->SkinActive());
    EXPECT_EQ(Heard(s.panel->Commands), (std::vector<unsigned>{AC_SKINLOADED, AC_BEFOREREFRESH, AC_SKINREFRESH}));
    EXPECT_TRUE(s.panel->Data.HasValidSkin());
    EXPECT_FALSE(s.panel->Data.Updating);
    EXPECT_NE(s.manager->SkinInfo(), "N/A");
    // Lookups: exact names only; the table follows the skin.
    EXPECT_GE(s.manager->GetSkinIndex("FORM"), 0);
    EXPECT_EQ(s.manager->GetSkinIndex("form"), -1);
    EXPECT_EQ(s.manager->CachedIndexes[ciGlobalInfo], s.manager->GetSkinIndex("GLOBALINFO"));
    EXPECT_NE(s.manager->GetGlobalInfoFontColor(), skin::clFuchsia);
    // The thread's window hook sees windows being made.
    EXPECT_TRUE(s.manager->IsHooked);
    EXPECT_NE(DialogHookHandle, nullptr);
    DestroyWindow(CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr));
    EXPECT_EQ(hooked, 1);

    // A name that is no skin: the first stored skin stands in and gives its name.
    s.manager->SetSkinName("No such skin");
    EXPECT_EQ(s.manager->SkinName(), "Pulsar (internal)");
    EXPECT_EQ(Heard(s.panel->Commands), (std::vector<unsigned>{AC_SKINLOADED, AC_BEFOREREFRESH, AC_SKINREFRESH}));

    s.manager->SetActive(false);
    EXPECT_EQ(Heard(s.panel->Commands), std::vector<unsigned>{AC_SKINREMOVED});
    EXPECT_EQ(s.panel->Data.SectionIndex, -1);
    EXPECT_FALSE(s.manager->IsHooked);
    EXPECT_EQ(DialogHookHandle, nullptr);
    EXPECT_EQ(s.manager->CachedIndexes[ciGlobalInfo], -1);
    EXPECT_TRUE(s.manager->Skin().Sections.empty());
    DestroyWindow(CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr));
    EXPECT_EQ(hooked, 1);
    SkinCallPoints.DialogHook = nullptr;

    // A second manager stays a plain one, and the default cannot give its role away.
    auto* second = new TsSkinManager(s.form);
    EXPECT_FALSE(second->IsDefault());
    s.manager->SetIsDefault(false);
    EXPECT_TRUE(s.manager->IsDefault());
    second->Free();
}

TEST(SkinManager, NoSkinAnywhereSwitchesSkinningOffAndTellsTheForms) {
    SkinnedScene s;
    while (s.manager->InternalSkins().Count() > 0) s.manager->InternalSkins().Delete(0);
    s.manager->SetSkinDirectory("c:\\no such folder");
    s.manager->SetSkinName("Cold");
    Heard(s.panel->Commands);
    s.manager->SetActive(true);
    EXPECT_FALSE(s.manager->Active());
    EXPECT_FALSE(s.manager->SkinActive());
    EXPECT_FALSE(s.manager->IsHooked);
    EXPECT_EQ(Heard(s.panel->Commands), std::vector<unsigned>{AC_SKINREMOVED});
}

TEST(SkinManager, APackedSkinTooLargeIsRefusedOnceAndLeavesNoSkinAndNoChangeHalfDone) {
    SkinnedScene s;
    vcltest::MessageBoxes boxes;
    int after = 0;
    s.manager->OnAfterChange = [&after](TObject*) { ++after; };
    s.manager->SetSkinName("Cold (internal)");
    s.manager->SetActive(true);
    ASSERT_TRUE(s.manager->SkinActive());
    ASSERT_EQ(after, 1);
    Heard(s.panel->Commands);

    // A file of some 65 KB whose one picture unpacks to more than a skin's
    // picture may take: it is refused before anything is unpacked.
    scratch::Folder folder;
    const std::string bytes = PackSkinFiles({{"Options.dat", "[GLOBALINFO]\r\n[FORM]\r\nCOLOR=255\r\n"},
                                             {"Huge.bmp", std::string(kMaxPackedEntryBytes + 1, '\0')}});
    ASSERT_LT(bytes.size(), 100000u);
    folder.Write("Huge.asz", bytes);
    std::string dos = "Z:" + folder.Path("");
    for (char& c : dos)
        if (c == '/') c = '\\';
    s.manager->SetSkinDirectory(dos);
    s.manager->SetSkinName("Huge");

    EXPECT_EQ(boxes.Texts(), std::vector<std::string>{kPackedSkinTooLargeMessage});
    // No skin, told to every form, and the change ended as a change ends.
    EXPECT_FALSE(s.manager->Active());
    EXPECT_FALSE(s.manager->SkinActive());
    EXPECT_FALSE(s.manager->IsHooked);
    EXPECT_TRUE(s.manager->Skin().Sections.empty());
    EXPECT_FALSE(SkinIsChanging);
    EXPECT_EQ(after, 2);
    EXPECT_EQ(Heard(s.panel->Commands), std::vector<unsigned>{AC_SKINREMOVED});
    EXPECT_FALSE(s.panel->Data.HasValidSkin());
    // Switched on again with a skin that loads, it is skinned as before.
    s.manager->SetSkinName("Cold (internal)");
    s.manager->SetActive(true);
    EXPECT_TRUE(s.manager->SkinActive());
    EXPECT_TRUE(s.panel->Data.HasValidSkin());
    EXPECT_EQ(boxes.Shown().size(), 1u);
}

TEST(SkinManager, HueAndSaturationReloadTheSkinThatIsThereNow) {
    SkinnedScene s;
    // A folder skin whose GLOBALINFO is not its first section.
    char made[] = "/tmp/norvix_reload_XXXXXX";
    ASSERT_NE(mkdtemp(made), nullptr);
    const std::string folder = made, skinFolder = folder + "/Odd", options = skinFolder + "/Options.dat";
    auto writeOptions = [&](const std::string& text) {
        mkdir(skinFolder.c_str(), 0755);
        FILE* f = fopen(options.c_str(), "wb");
        fwrite(text.data(), 1, text.size(), f);
        fclose(f);
    };
    const std::string odd = "[MENULINE]\r\nCOLOR=255\r\n\r\n[GLOBALINFO]\r\nCOLOR=65280\r\n\r\n[FORM]\r\nCOLOR=16711680\r\n";
    writeOptions(odd);
    std::string dos = "Z:" + folder;
    for (char& c : dos)
        if (c == '/') c = '\\';
    s.manager->SetSkinDirectory(dos);
    s.manager->SetSkinName("Odd");
    s.manager->SetActive(true);
    ASSERT_TRUE(s.manager->SkinActive());
    ASSERT_EQ(s.manager->CachedIndexes[ciGlobalInfo], 1);

    // The folder goes: the first stored skin stands in, with its own indexes.
    unlink(options.c_str());
    rmdir(skinFolder.c_str());
    s.manager->SetHueOffset(40);
    EXPECT_TRUE(s.manager->SkinActive());
    EXPECT_EQ(s.manager->CachedIndexes[ciGlobalInfo], s.manager->GetSkinIndex("GLOBALINFO"));
    EXPECT_EQ(s.manager->CachedIndexes[ciGlobalInfo], 0);

    // A reload that finds nothing to paint with takes the skin off the forms.
    writeOptions(odd);
    s.manager->SetSkinName("Odd");
    ASSERT_TRUE(s.manager->SkinActive());
    writeOptions("");
    Heard(s.panel->Commands);
    s.manager->SetSaturation(20);
    EXPECT_FALSE(s.manager->SkinActive());
    EXPECT_EQ(Heard(s.panel->Commands), std::vector<unsigned>{AC_SKINREMOVED});
    EXPECT_EQ(s.manager->CachedIndexes[ciGlobalInfo], -1);
    unlink(options.c_str());
    rmdir(skinFolder.c_str());
    rmdir(folder.c_str());
}

TEST(SkinBroadcast, SkinnedFormsHearOnceAndAChildBeingDestroyedIsPassedOver) {
    SkinnedScene s;
    auto* skinned = NewForm<TProviderForm>(Application, s.manager);
    auto* first = new TSkinnedBox(s.form, "PANEL", 0, 80, 10, 10);
    auto* dying = new TSkinnedBox(s.form, "PANEL", 20, 80, 10, 10);
    auto* last = new TSkinnedBox(s.form, "PANEL", 40, 80, 10, 10);
    dying->MarkDestroying();
    AddSkinnedForm(skinned);
    for (TSkinnedBox* box : {first, dying, last}) box->Commands.clear();

    TMessage message = SkinCommandMessage(AC_SETBGCHANGED);
    BroadcastToForms(message);
    EXPECT_EQ(skinned->Commands, std::vector<unsigned>{AC_SETBGCHANGED});
    EXPECT_EQ(first->Commands, std::vector<unsigned>{AC_SETBGCHANGED});
    EXPECT_TRUE(dying->Commands.empty());
    EXPECT_EQ(last->Commands, std::vector<unsigned>{AC_SETBGCHANGED});

    // A form registered twice leaves the list whole; the others keep their order.
    auto* other = NewForm<TProviderForm>(Application, s.manager);
    AddSkinnedForm(other);
    EXPECT_EQ(AddSkinnedForm(skinned), 3);
    RemoveSkinnedForm(skinned);
    EXPECT_EQ(SkinnedForms, std::vector<TForm*>{other});

    // Redrawing is held only for visible forms of the manager.
    AddSkinnedForm(skinned);
    skinned->Show();
    LockForms(s.manager);
    UnlockForms(s.manager, false);
    EXPECT_EQ(skinned->Redraws, (std::vector<WPARAM>{0, 1}));
    EXPECT_TRUE(other->Redraws.empty());
    // A form hidden while locked gets its redraw back and its window goes.
    skinned->Redraws.clear();
    LockForms(s.manager);
    skinned->Hide();
    UnlockForms(s.manager, true);
    EXPECT_EQ(skinned->Redraws, (std::vector<WPARAM>{0, 1}));
    EXPECT_FALSE(IsWindowVisible(skinned->Handle()));
    skinned->Show();
    EXPECT_TRUE(IsWindowVisible(skinned->Handle()));
    RemoveSkinnedForm(skinned);
    RemoveSkinnedForm(other);
    dying->SetControlState(0);
    skinned->Free();
    other->Free();
}

TEST(SectionPainting, ChildrenPaintTheirSectionsOverTheParentsCachedPicture) {
    SkinnedScene s;
    // A skin of four plain sections, sent as a loaded one.
    TsSkinContent& skin = s.manager->Skin();
    skin.Sections = {Plain("PARENT", kParentColour, 0), Plain("OPAQUE", kOwnColour, 0), Plain("HALF", kOwnColour, 50),
                     Plain("CLEAR", kOwnColour, 100)};
    s.manager->SendNewSkin();
    s.panel->Data.SetSkinSection("PARENT");
    s.panel->SetBounds(10, 10, 90, 30);
    auto* opaque = new TSkinnedBox(s.panel, "OPAQUE", 4, 4, 10, 10);
    auto* half = new TSkinnedBox(s.panel, "HALF", 20, 4, 10, 10);
    auto* clear = new TSkinnedBox(s.panel, "CLEAR", 36, 4, 10, 10);
    // Over a plain parent without a picture: its colour shows through a clear
    // child, and a half-transparent one keeps its own colour.
    auto* plain = new TPanel(s.form);
    plain->SetParent(s.form);
    plain->SetBounds(10, 60, 90, 30);
    plain->SetColor(0x00FF00);
    auto* clearOnPlain = new TSkinnedBox(plain, "CLEAR", 4, 4, 10, 10);
    auto* halfOnPlain = new TSkinnedBox(plain, "HALF", 20, 4, 10, 10);
    s.form->Show();
    vcltest::Pump();
    for (TWinControl* c : std::initializer_list<TWinControl*>{s.panel, opaque, half, clear, clearOnPlain, halfOnPlain})
        RedrawWindow(c->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    vcltest::Pump();

    EXPECT_EQ(WindowPixel(s.panel->Handle(), 60, 20), kParentColour);
    EXPECT_EQ(WindowPixel(opaque->Handle(), 5, 5), kOwnColour);
    EXPECT_EQ(WindowPixel(half->Handle(), 5, 5), Mix(kOwnColour, kParentColour, 127));
    EXPECT_EQ(WindowPixel(clear->Handle(), 5, 5), kParentColour);
    EXPECT_EQ(WindowPixel(clearOnPlain->Handle(), 5, 5), 0x00FF00);
    EXPECT_EQ(WindowPixel(halfOnPlain->Handle(), 5, 5), kOwnColour);
    // The colour answer never outlives the paint that asked for it.
    EXPECT_EQ(ReplyBgColor, skin::clFuchsia);

    // Command 21 through a real window: half of the way to the parent's colour, weighed out of 256.
    ReplyBgColor = skin::clFuchsia;
    SendSkinCommand(half->Handle(), AC_QUERYBGCOLOR);
    EXPECT_EQ(ReplyBgColor, BlendBgColor(50, kParentColour, kOwnColour));
    ReplyBgColor = skin::clFuchsia;

    // Removing the skin drops the indexes and the cached picture.
    s.manager->SendRemoveSkin();
    EXPECT_EQ(half->Data.SectionIndex, -1);
    EXPECT_EQ(half->Data.CacheBitmap->Width(), 0);
}

TEST(SectionPainting, BorderCornersShowTheParentsPictureOrItsColour) {
    SkinnedScene s;
    TsSkinContent& skin = s.manager->Skin();
    skin.Sections = {Plain("PARENT", kParentColour, 0), Plain("BOXED", kOwnColour, 0)};
    // A border of 8 x 8 whose outermost corner pixels are see-through.
    skin.MasterBitmap = std::make_unique<TPixelBitmap>(8, 16);
    const TPixels master = skin.MasterBitmap->Pixels();
    skin::FillRect(master, TRect{0, 0, 8, 8}, 0x202020);
    skin::FillRect(master, TRect{0, 8, 8, 16}, 0);
    for (TPoint p : {TPoint{0, 0}, TPoint{7, 0}, TPoint{0, 7}, TPoint{7, 7}}) SetPixelColor(master.At(p.X, p.Y), skin::clFuchsia);
    TsMaskData border;
    border.SectionName = "BOXED";
    border.PropertyName = "BORDERSMASK";
    border.SourceRect = TRect{0, 0, 8, 16};
    border.ImageCount = 1;
    border.MaskType = 1;
    border.WL = border.WT = border.WR = border.WB = 2;
    border.Manager = &skin;
    skin.Masks.push_back(std::move(border));
    s.manager->SendNewSkin();
    s.panel->Data.SetSkinSection("PARENT");
    s.panel->SetBounds(10, 10, 90, 40);
    auto* plain = new TPanel(s.form);
    plain->SetParent(s.form);
    plain->SetBounds(10, 60, 90, 40);
    plain->SetColor(0x00FF00);
    auto* onSkinned = new TSkinnedBox(s.panel, "BOXED", 4, 4, 20, 20);
    auto* onPlain = new TSkinnedBox(plain, "BOXED", 4, 4, 20, 20);
    s.form->Show();
    vcltest::Pump();
    // Each box's cache copied with its corners: the skinned parent's colour
    // (its picture is one colour), the plain parent's colour (no picture).
    for (auto [box, behind] : {std::pair{onSkinned, kParentColour}, std::pair{onPlain, TColor{0x00FF00}}}) {
        TBitmap target(20, 20);
        HDC dc = target.Canvas()->Handle();
        PaintCacheExcludeControls(dc, box, &box->Data, TRect{0, 0, 20, 20}, true);
        EXPECT_EQ(static_cast<TColor>(GetPixel(dc, 0, 0)), behind);
        EXPECT_EQ(static_cast<TColor>(GetPixel(dc, 19, 19)), behind);
        EXPECT_EQ(static_cast<TColor>(GetPixel(dc, 1, 1)), TColor{0x202020});
    }
    EXPECT_EQ(ReplyBgColor, skin::clFuchsia);
}

TEST(SectionPainting, TheCacheGoesAroundChildWindowsButIntoAGroupBox) {
    SkinnedScene s;
    s.panel->SetBounds(0, 0, 200, 100);
    auto* edit = new TEdit(s.form);
    edit->SetParent(s.panel);
    edit->SetBounds(10, 10, 40, 20);
    auto* group = new TGroupBox(s.form);
    group->SetParent(s.panel);
    group->SetBounds(80, 10, 100, 80);
    s.panel->Data.InitCacheBitmap();
    s.panel->Data.CacheBitmap->Canvas()->Brush()->SetColor(kOwnColour);
    s.panel->Data.CacheBitmap->Canvas()->FillRect(RECT{0, 0, 200, 100});

    TBitmap target(200, 100);
    HDC dc = target.Canvas()->Handle();
    PatBlt(dc, 0, 0, 200, 100, BLACKNESS);
    PaintCacheExcludeWindows(dc, s.panel->Handle(), &s.panel->Data, TRect{0, 0, 200, 100});
    EXPECT_EQ(static_cast<TColor>(GetPixel(dc, 20, 15)), 0);            // under the edit
    EXPECT_EQ(static_cast<TColor>(GetPixel(dc, 130, 50)), kOwnColour);  // inside the group box
    EXPECT_EQ(static_cast<TColor>(GetPixel(dc, 60, 60)), kOwnColour);
}

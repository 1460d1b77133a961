// The catalogue editing commands of the options dialog, with the group and item dialogs
// answered as a user would answer them, and files dropped the way the shell drops them.
#include <gtest/gtest.h>

#include <shlobj.h>

#include <cstring>
#include <deque>
#include <optional>
#include <functional>
#include <vector>

#include "data/clsShellIniFiles.hpp"
#include "data/comFunc.hpp"
#include "options/fmGInput.hpp"
#include "options/fmIInput.hpp"
#include "options/fmOpt.hpp"
#include "process/frmProcName.hpp"
#include "support/TestSupport.hpp"
#include "toolkit/Application.hpp"
#include "toolkit/Dialogs.hpp"

namespace {

using Node = TfmOption::Node;

// What the user does in one showing of the item dialog.
struct ItemAnswer {
    std::wstring typedKey;    // typed into the key box ("" types nothing)
    std::wstring fileName;    // replaces the file box unless empty
    bool ok = true;
    std::optional<std::wstring> everyText;  // typed into the name, file, parameter and folder boxes
};

class EditingTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetIniFilePathForTests(dir.File(L"Kestrum.INI"));
        TShellIniFile catalogue;
        catalogue.WriteItemInfo({L"1", L"Tools"}, 1, 0);
        catalogue.WriteItemInfo({L"A", L"Alpha", L"http://a"}, 1, 1);
        catalogue.WriteItemInfo({L"B", L"Beta", L"http://b"}, 1, 2);
        catalogue.WriteItemInfo({L"2", L"Other"}, 2, 0);
        catalogue.WriteItemInfo({L"c", L"lower case key", L"http://c"}, 2, 1);
        SetMessageBoxAnswerer([this](const MessageBoxRequest& box) {
            boxes.push_back(box);
            return boxAnswer;
        });
        TForm::SetModalHookForTests([this](TForm& form) { Answer(form); });
        dialog = std::make_unique<TfmOption>(nullptr);
    }
    void TearDown() override {
        dialog.reset();
        TForm::SetModalHookForTests(nullptr);
        SetMessageBoxAnswerer(nullptr);
        SetIniFilePathForTests(L"");
    }

    void Answer(TForm& form) {
        if (auto* item = dynamic_cast<TfmItem*>(&form)) {
            ++itemShowings;
            shownKeys.push_back(item->edKey->Text());
            ASSERT_FALSE(itemAnswers.empty()) << "an unexpected item dialog";
            const ItemAnswer answer = itemAnswers.front();
            itemAnswers.pop_front();
            for (wchar_t c : answer.typedKey) ::SendMessageW(item->edKey->Handle(), WM_CHAR, c, 0);
            if (!answer.fileName.empty()) item->edFileName->SetText(answer.fileName);
            if (answer.everyText)
                for (TEdit* box : {item->edName.get(), item->edFileName.get(), item->edParam.get(), item->edDirName.get()})
                    box->SetText(*answer.everyText);
            (answer.ok ? item->Button1 : item->Button2)->Click();
            if (item->ModalResult == mrNone) item->Button2->Click();  // OK was refused
        } else if (auto* picker = dynamic_cast<TfmProcName*>(&form)) {
            ++pickerShowings;
            for (int i = 0; i < picker->List().Count(); ++i)
                if (picker->List().ItemCaption(i) == pickedProgram) picker->List().Select(i);
            picker->ModalResult = mrOk;
        } else if (auto* group = dynamic_cast<TfmGroup*>(&form)) {
            for (wchar_t c : groupKey) ::SendMessageW(group->edKey->Handle(), WM_CHAR, c, 0);
            if (!groupName.empty()) group->edName->SetText(groupName);
            (groupOk ? group->Button1 : group->Button2)->Click();
            if (group->ModalResult == mrNone) group->Button2->Click();  // OK was refused
        }
    }
    TTreeView& Tree() { return dialog->Catalogue().Tree(); }
    Node Group(int index) { return Tree().Children(nullptr).at(index); }
    Node Item(int group, int index) { return Tree().Children(Group(group)).at(index); }
    std::vector<std::wstring> Texts(Node parent) {
        std::vector<std::wstring> texts;
        for (Node node : Tree().Children(parent)) texts.push_back(Tree().NodeText(node));
        return texts;
    }

    TempDir dir;
    std::unique_ptr<TfmOption> dialog;
    std::vector<MessageBoxRequest> boxes;
    int boxAnswer = mrYes;
    std::deque<ItemAnswer> itemAnswers;
    int itemShowings = 0;
    int pickerShowings = 0;
    std::wstring pickedProgram;
    std::vector<std::wstring> shownKeys;
    std::wstring groupKey, groupName;
    bool groupOk = true;
};

// A drop as the shell makes it: a DROPFILES block of wide names in movable memory.
HDROP MakeDrop(const std::vector<std::wstring>& names) {
    std::wstring list;
    for (const auto& name : names) list += name + L'\0';
    list += L'\0';
    const size_t bytes = sizeof(DROPFILES) + list.size() * sizeof(wchar_t);
    HGLOBAL memory = ::GlobalAlloc(GHND, bytes);
    auto* drop = static_cast<DROPFILES*>(::GlobalLock(memory));
    drop->pFiles = sizeof(DROPFILES);
    drop->fWide = TRUE;
    std::memcpy(reinterpret_cast<char*>(drop) + sizeof(DROPFILES), list.data(), list.size() * sizeof(wchar_t));
    ::GlobalUnlock(memory);
    return static_cast<HDROP>(memory);
}

}  // namespace

TEST_F(EditingTest, ADuplicateItemKeyReopensTheDialogWithTheEntriesKept) {
    Tree().Select(Group(0));
    itemAnswers = {{L"b", L"C:\\new.exe"}, {L"", L""}, {L"d", L""}};
    dialog->RunCommand(cmAddItem);
    ASSERT_EQ(boxes.size(), 2u) << "refused twice: b typed as B, and B kept";
    EXPECT_EQ(boxes[0].text, L"キーが重複しています。違うキーで登録してください");
    EXPECT_EQ(shownKeys[1], L"b") << "the dialog shows again with what the user entered";
    EXPECT_EQ(Texts(Group(0)).back(), L"D : 《未存在》");
    EXPECT_EQ(dialog->Catalogue().NodeInfo(Item(0, 2))->FileName, L"C:\\new.exe");

    // The same key in another group is accepted.
    Tree().Select(Group(1));
    itemAnswers = {{L"a", L"http://x"}};
    dialog->RunCommand(cmAddItem);
    EXPECT_EQ(boxes.size(), 2u);
    EXPECT_EQ(Texts(Group(1)).back(), L"A : ");
}

TEST_F(EditingTest, AnItemAddedToAnEmptyGroupIsShownAtOnce) {
    const Node empty = dialog->Catalogue().AddGroupToTree({L"9", L"Empty"});
    Tree().Select(empty);
    itemAnswers = {{L"z", L"http://x"}};
    dialog->RunCommand(cmAddItem);
    ASSERT_EQ(Tree().Children(empty).size(), 1u);
    EXPECT_TRUE(::SendMessageW(Tree().Handle(), TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(empty), TVIS_EXPANDED) &
                TVIS_EXPANDED) << "its group opened";
}

TEST_F(EditingTest, AStoredLowerCaseKeyDoesNotCollideWithTheTypedLetter) {
    Tree().Select(Group(1));
    itemAnswers = {{L"c", L"http://x"}};
    dialog->RunCommand(cmAddItem);
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(Tree().Children(Group(1)).size(), 2u);
}

TEST_F(EditingTest, ChangingAnItemMayKeepItsOwnKeyButNotTakeAnothers) {
    Tree().Select(Item(0, 0));
    itemAnswers = {{L"", L"http://changed"}};
    dialog->RunCommand(cmModItem);
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(dialog->Catalogue().NodeInfo(Item(0, 0))->FileName, L"http://changed");

    Tree().Select(Item(0, 0));
    itemAnswers = {{L"b", L""}, {L"", L"", false}};
    dialog->RunCommand(cmModItem);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(dialog->Catalogue().NodeInfo(Item(0, 0))->Key, L"A") << "cancelled after the refusal: unchanged";
}

TEST_F(EditingTest, ChangingAGroupSortsTheGroupsAndPassesOtherFieldsThrough) {
    TShellIniFile().WriteItemInfo({L"0", L"Zero", L"kept.exe", L"-p", L"C:\\kept", 5}, 3, 0);
    dialog->RunCommand(cmLoadShell);
    Tree().Select(Group(2));
    groupKey = L"9";
    dialog->RunCommand(cmModGroup);
    EXPECT_EQ(Texts(nullptr), (std::vector<std::wstring>{L"1 : Tools", L"2 : Other", L"9 : Zero"}));
    const TItemInfo changed = *dialog->Catalogue().NodeInfo(Group(2));
    EXPECT_EQ(changed, (TItemInfo{L"9", L"Zero", L"kept.exe", L"-p", L"C:\\kept", 5}));
}

TEST_F(EditingTest, ANewGroupLeftUntouchedIsRefusedAndSameKeysAreKept) {
    dialog->RunCommand(cmAddGroup);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, L"入力値が不正です。エスケープキーで変更を取り消せます");
    EXPECT_EQ(Tree().Children(nullptr).size(), 2u) << "no group without a key";
    groupKey = L"1";
    groupName = L"Again";
    dialog->RunCommand(cmAddGroup);
    EXPECT_EQ(Texts(nullptr).back(), L"1 : Again");
    EXPECT_EQ(Tree().Children(nullptr).size(), 3u);
}

TEST_F(EditingTest, TheDetailsFollowAChangeAndTheSaveRefusesAnEntryWithoutAKey) {
    Tree().Select(Item(0, 0));
    itemAnswers = {{L"", L"http://changed"}};
    dialog->RunCommand(cmModItem);
    EXPECT_EQ(dialog->Catalogue().DetailText(L"lbIFileName"), L"http://changed");
    Tree().Select(Group(0));
    groupName = L"Renamed";
    dialog->RunCommand(cmModGroup);
    EXPECT_EQ(dialog->Catalogue().DetailText(L"lbGName"), L"Renamed");

    const std::string before = ReadFileBytes(dir.File(L"Kestrum.INI"));
    dialog->Catalogue().NodeInfo(Item(1, 0))->Key = L" ";  // as an older version could leave it
    Tree().Select(Group(0));
    boxes.clear();
    EXPECT_FALSE(dialog->acSaveShellExecute());
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, L"キーのない項目は保存できません。キーを設定してください\r\n名前 : lower case key");
    EXPECT_EQ(Tree().Selected(), Item(1, 0));
    EXPECT_EQ(ReadFileBytes(dir.File(L"Kestrum.INI")), before) << "nothing written";
}

TEST_F(EditingTest, EveryTypedTextComesBackAfterASaveAReloadAndASaveWithoutAnEdit) {
    // Text i goes into every box of item i: item A changed, items C to Z added to group 1.
    const std::vector<std::wstring>& texts = AwkwardTexts();
    ASSERT_LE(texts.size(), 25u);
    Tree().Select(Item(0, 0));
    itemAnswers = {{L"", L"", true, texts[0]}};
    dialog->RunCommand(cmModItem);
    for (size_t i = 1; i < texts.size(); ++i) {
        Tree().Select(Group(0));
        itemAnswers = {{std::wstring(1, static_cast<wchar_t>(L'B' + i)), L"", true, texts[i]}};
        dialog->RunCommand(cmAddItem);
    }
    ASSERT_TRUE(dialog->acSaveShellExecute());
    dialog.reset();  // as after a restart (one dialog at a time: each restores the handlers it replaced)
    dialog = std::make_unique<TfmOption>(nullptr);
    ASSERT_TRUE(dialog->acSaveShellExecute());       // with no edit
    for (size_t i = 0; i < texts.size(); ++i) {
        TItemInfo stored;
        TShellIniFile().ReadItemInfo(1, i == 0 ? 1 : int(i) + 2, stored);
        const std::wstring& text = texts[i];
        EXPECT_EQ(stored, (TItemInfo{i == 0 ? L"A" : std::wstring(1, static_cast<wchar_t>(L'B' + i)), text, text,
                                     text, text, 0}))
            << ToAnsi(text.substr(0, 40));
    }
}

TEST_F(EditingTest, DeletingAGroupAsksThenReleasesItAndItsItems) {
    for (int i = 0; i < 3; ++i) dialog->Catalogue().AddItemInfoToTree({std::wstring(1, wchar_t(L'X' + i)), L"x"}, Group(0));
    const size_t records = Tree().RecordCount();
    Tree().Select(Group(0));
    boxAnswer = mrNo;
    dialog->RunCommand(cmDelGroup);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, L"ｷｰ値 : 1\r\n名前 : Tools\r\nとその配下を削除しても良いですか？");
    EXPECT_EQ(boxes[0].caption, L"確認");
    EXPECT_EQ(boxes[0].style & MB_TYPEMASK, UINT(MB_YESNO));
    EXPECT_EQ(Tree().RecordCount(), records) << "No deletes nothing";

    boxAnswer = mrYes;
    dialog->RunCommand(cmDelGroup);
    EXPECT_EQ(Tree().RecordCount(), records - 6) << "the group and its five items";
    EXPECT_EQ(Texts(nullptr), std::vector<std::wstring>{L"2 : Other"});
}

TEST_F(EditingTest, DeletingAnItemAsksWithItsKeyAndName) {
    Tree().Select(Item(0, 1));
    dialog->RunCommand(cmDelItem);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, L"ｷｰ値 : B\r\n名前 : Beta\r\nを削除しても良いですか？");
    EXPECT_EQ(Texts(Group(0)), std::vector<std::wstring>{L"A : Alpha"});
}

TEST_F(EditingTest, EachCommandNamesTheSelectionItNeeds) {
    const std::pair<int, const wchar_t*> onItem[] = {{cmModGroup, L"変更したいグループを選択してください"},
                                                     {cmDelGroup, L"削除したいグループを選択してください"},
                                                     {cmAddItem, L"ｸﾞﾙｰﾌﾟ選択が正しくありません"}};
    Tree().Select(Item(0, 0));
    for (auto [command, message] : onItem) {
        boxes.clear();
        dialog->RunCommand(command);
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].text, message);
        EXPECT_EQ(boxes[0].style & MB_TYPEMASK, UINT(MB_OK));
    }
    Tree().Select(Group(0));
    for (auto [command, message] : {std::pair<int, const wchar_t*>{cmModItem, L"変更したいアイテムを選択してください"},
                                    {cmDelItem, L"削除したいアイテムを選択してください"}}) {
        boxes.clear();
        dialog->RunCommand(command);
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].text, message);
    }
    boxes.clear();
    Tree().OnDblClick();  // a double click on a group runs the change-item command
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, L"変更したいアイテムを選択してください");
    EXPECT_EQ(Tree().RecordCount(), 5u);
}

TEST_F(EditingTest, RecordsForFilesKeepNameExtensionAndTheFolderWithoutItsBackslash) {
    EXPECT_EQ(FileToItemInfo(L"C:\\Tools\\run me.lnk"),
              (TItemInfo{L"", L"run me.lnk", L"C:\\Tools\\run me.lnk", L"", L"C:\\Tools", 0}));
    EXPECT_EQ(FileToItemInfo(L"C:\\boot.ini").DirName, L"C:\\");
    EXPECT_EQ(FileToItemInfo(L"D:\\Data").Name, L"Data");
    EXPECT_EQ(FileToItemInfo(L"\\\\server\\share\\app.exe").DirName, L"\\\\server\\share");
}

TEST_F(EditingTest, DroppedFilesEachGetAnItemDialogAndCancelSkipsOnlyThatOne) {
    Tree().Select(Group(1));
    itemAnswers = {{L"p", L""}, {L"q", L"", false}, {L"r", L""}};
    HDROP drop = MakeDrop({L"C:\\one.exe", L"C:\\two\\two.lnk", L"C:\\three\\3.txt"});
    ::PostMessageW(Tree().Handle(), WM_DROPFILES, reinterpret_cast<WPARAM>(drop), 0);
    PumpMessages();
    EXPECT_EQ(itemShowings, 3);
    EXPECT_EQ(Texts(Group(1)), (std::vector<std::wstring>{L"c : lower case key", L"P : 《未存在》one.exe",
                                                            L"R : 《未存在》3.txt"}));
    EXPECT_EQ(dialog->Catalogue().NodeInfo(Item(1, 2))->DirName, L"C:\\three");
    EXPECT_EQ(::GlobalSize(drop), 0u) << "the drop was released";
}

TEST_F(EditingTest, FilesDroppedWithoutASelectedGroupAreRefused) {
    Tree().Select(Item(0, 0));
    HDROP drop = MakeDrop({L"C:\\one.exe"});
    ::PostMessageW(Tree().Handle(), WM_DROPFILES, reinterpret_cast<WPARAM>(drop), 0);
    PumpMessages();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, L"ｸﾞﾙｰﾌﾟの選択が誤っています");
    EXPECT_EQ(itemShowings, 0);
    EXPECT_EQ(Tree().RecordCount(), 5u);
    EXPECT_EQ(::GlobalSize(drop), 0u) << "the drop was released";
}

TEST_F(EditingTest, ADropWhoseHandleCannotBeReadBringsNothing) {
    // What a drop from an X program arrives as under Wine: a handle of no memory here.
    Tree().Select(Group(1));
    ::PostMessageW(Tree().Handle(), WM_DROPFILES, 0x5EED0000, 0);
    PumpMessages();
    EXPECT_EQ(itemShowings, 0);
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(Tree().RecordCount(), 5u);
}

TEST_F(EditingTest, ARunningProgramBecomesAnItemThroughThePickerAndTheItemDialog) {
    Tree().Select(Item(0, 0));
    dialog->RunCommand(cmNowProcess);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, L"ｸﾞﾙｰﾌﾟ選択が正しくありません");
    EXPECT_EQ(pickerShowings, 0) << "no picker without a group";

    // This test program is running: pick it.
    wchar_t self[MAX_PATH];
    ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    pickedProgram = self;
    Tree().Select(Group(1));
    itemAnswers = {{L"t", L""}};
    dialog->RunCommand(cmNowProcess);
    EXPECT_EQ(pickerShowings, 1);
    ASSERT_EQ(Tree().Children(Group(1)).size(), 2u);
    const TItemInfo added = *dialog->Catalogue().NodeInfo(Item(1, 1));
    EXPECT_EQ(added, FileToItemInfo(self).Key.empty() ? (TItemInfo{L"T", FileToItemInfo(self).Name, self, L"",
                                                                    FileToItemInfo(self).DirName, 0})
                                                      : TItemInfo{});
    EXPECT_EQ(added.Name, L"ui_options.exe");
}

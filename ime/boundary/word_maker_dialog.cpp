#include "word_maker_dialog.h"

#include "core/word_maker.h"
#include "modal_dialog.h"
#include "resources/resource_ids.h"

#include <array>
#include <string>

namespace tovi {
namespace {

// An edit's text, read into a buffer of `Units` units as the dialog's buffers hold it.
template <std::size_t Units>
std::u16string editText(HWND dialog, int control) {
    std::array<wchar_t, Units + 1> buffer{};
    const UINT read = GetDlgItemTextW(dialog, control, buffer.data(), Units + 1);
    return std::u16string(buffer.begin(), buffer.begin() + read);
}

void setEditText(HWND dialog, int control, const std::u16string& text) {
    const std::wstring wide(text.begin(), text.end());
    SetDlgItemTextW(dialog, control, wide.c_str());
}

// Adds or deletes the word in the edits; on success both edits are cleared for the next word,
// on a refusal they stay as they are.
void editWord(HWND dialog, WordMaker& maker, bool adding) {
    const std::u16string code = editText<WordMaker::kMaxCodeUnits>(dialog, IDC_WORD_CODE);
    const std::u16string word = editText<WordMaker::kMaxWordUnits>(dialog, IDC_WORD_TEXT);
    if (!(adding ? maker.add(code, word) : maker.remove(code, word)))
        return;
    SetDlgItemTextW(dialog, IDC_WORD_CODE, L"");
    SetDlgItemTextW(dialog, IDC_WORD_TEXT, L"");
}

void onInit(HWND dialog, WordMaker& maker) {
    setEditText(dialog, IDC_WORD_TEXT, maker.word());
    setEditText(dialog, IDC_WORD_CODE, maker.proposedCode());
}

bool onCommand(HWND dialog, WordMaker& maker, WORD id, WORD) {
    if (id != IDOK && id != IDC_WORD_DELETE)
        return false;
    editWord(dialog, maker, id == IDOK);
    return true;
}

} // namespace

void showWordMakerDialog(HINSTANCE instance, HWND owner, WordMaker& maker) {
    runModalDialog(instance, kWordMakerDialog, owner, maker,
                   DialogHandlers<WordMaker>{onInit, onCommand});
}

} // namespace tovi

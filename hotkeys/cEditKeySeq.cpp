#include "hotkeys/cEditKeySeq.h"

#include "hotkeys/KeySeqDescription.h"

#include <algorithm>

void cEditKeySeq::setKeySeq(const KeySeq& sequence) {
    recordedKeys_ = sequence;
    showKeys();
}

bool cEditKeySeq::onKeyDown(UINT key, int repeatCount, UINT) {
    const auto code = static_cast<std::int32_t>(key);
    if (repeatCount == 1 &&
        std::find(recordedKeys_.begin(), recordedKeys_.end(), code) == recordedKeys_.end()) {
        recordedKeys_.push_back(code);
        showKeys();
    }
    return true;
}

void cEditKeySeq::showKeys() {
    if (hwnd())
        ::SetWindowTextW(hwnd(), describeKeySeq(recordedKeys_).c_str());
}

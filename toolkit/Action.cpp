#include "toolkit/Action.h"

#include <algorithm>
#include <cctype>

namespace cv {

std::string ShortCutToText(const TShortCut& s) {
    if (s.Key == 0) {
        return {};
    }
    std::string text;
    text += s.Shift ? "Shift+" : "";
    text += s.Ctrl ? "Ctrl+" : "";
    text += s.Alt ? "Alt+" : "";
    const std::uint16_t k = s.Key;
    if ((k >= '0' && k <= '9') || (k >= 'A' && k <= 'Z')) {
        text += static_cast<char>(k);
    } else if (k >= 0x70 && k <= 0x87) {
        text += "F" + std::to_string(k - 0x70 + 1);
    } else {
        struct TName {
            std::uint16_t Key;
            const char* Text;
        };
        static const TName names[] = {{0x08, "BkSp"},  {0x09, "Tab"},  {0x0D, "Enter"}, {0x1B, "Esc"},
                                      {0x20, "Space"}, {0x21, "PgUp"}, {0x22, "PgDn"},  {0x23, "End"},
                                      {0x24, "Home"},  {0x25, "Left"}, {0x26, "Up"},    {0x27, "Right"},
                                      {0x28, "Down"},  {0x2D, "Ins"},  {0x2E, "Del"}};
        const auto* found =
            std::find_if(std::begin(names), std::end(names), [&](const TName& n) { return n.Key == k; });
        text += found != std::end(names) ? found->Text : "#" + std::to_string(k);
    }
    return text;
}

TActionClient::~TActionClient() {
    SetAction(nullptr);
}

void TActionClient::SetAction(TAction* action) {
    if (FAction != nullptr) {
        auto& clients = FAction->FClients;
        clients.erase(std::remove(clients.begin(), clients.end(), this), clients.end());
    }
    FAction = action;
    if (FAction != nullptr) {
        FAction->FClients.push_back(this);
        ActionChanged(*FAction);
    }
}

TAction::~TAction() {
    for (TActionClient* client : FClients) {
        client->FAction = nullptr;
    }
    if (FGroup != nullptr) {
        FGroup->erase(std::remove(FGroup->begin(), FGroup->end(), this), FGroup->end());
    }
}

void TAction::Changed() {
    const auto clients = FClients; // a client may rebind while it is told
    for (TActionClient* client : clients) {
        client->ActionChanged(*this);
    }
}

void TAction::SetCaption(const std::string& caption) {
    if (caption != FCaption) {
        FCaption = caption;
        Changed();
    }
}

void TAction::SetHint(const std::string& hint) {
    if (hint != FHint) {
        FHint = hint;
        Changed();
    }
}

void TAction::SetShortCut(const TShortCut& shortCut) {
    if (!(shortCut == FShortCut)) {
        FShortCut = shortCut;
        Changed();
    }
}

void TAction::SetEnabled(bool enabled) {
    if (enabled != FEnabled) {
        FEnabled = enabled;
        Changed();
    }
}

void TAction::SetVisible(bool visible) {
    if (visible != FVisible) {
        FVisible = visible;
        Changed();
    }
}

void TAction::SetChecked(bool checked) {
    if (checked == FChecked) {
        return;
    }
    FChecked = checked;
    if (checked && FGroupIndex > 0 && FGroup != nullptr) {
        for (TAction* other : *FGroup) {
            if (other != this && other->FGroupIndex == FGroupIndex && other->FChecked) {
                other->FChecked = false;
                other->Changed();
            }
        }
    }
    Changed();
}

void TAction::SetGroup(int groupIndex, std::vector<TAction*>* group) {
    FGroupIndex = groupIndex;
    FGroup = group;
    if (group != nullptr && std::find(group->begin(), group->end(), this) == group->end()) {
        group->push_back(this);
    }
}

bool TAction::Execute() {
    if (!FEnabled || !OnExecute) {
        return false;
    }
    OnExecute();
    return true;
}

char AcceleratorChar(const std::string& caption) {
    for (std::size_t i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != '&') {
            continue;
        }
        if (caption[i + 1] == '&') {
            ++i; // a plain ampersand
            continue;
        }
        const auto c = static_cast<unsigned char>(caption[i + 1]);
        return std::isalnum(c) != 0 && c < 0x80 ? static_cast<char>(std::toupper(c)) : '\0';
    }
    return '\0';
}

} // namespace cv

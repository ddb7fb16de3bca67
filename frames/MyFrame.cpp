#include "frames/MyFrame.h"

namespace cv {

TMyFrame::TMyFrame(TWinControl* parent, std::string name) : TWinControl(parent, std::move(name)) {
    TCreateParams params;
    params.Style = WS_CHILD | WS_CLIPCHILDREN;
    params.ExStyle = WS_EX_CONTROLPARENT;
    CreateWindowed(params);
}

TMyFrame::~TMyFrame() {
    DestroyComponents(); // while the frame's window is still there
}

void InitFrame(TMyFrame& frame) {
    frame.BeforeInit();
    for (const auto& component : frame.Components()) {
        if (auto* inner = dynamic_cast<TMyFrame*>(component.get()); inner != nullptr) {
            InitFrame(*inner);
        }
    }
    frame.Init();
}

void DoneFrame(TMyFrame& frame) {
    frame.Done();
    for (const auto& component : frame.Components()) {
        if (auto* inner = dynamic_cast<TMyFrame*>(component.get()); inner != nullptr) {
            DoneFrame(*inner);
        }
    }
    frame.AfterDone();
}

} // namespace cv

// A frame: a reusable group of controls placed inside a page. A page
// initialises its frames when it is made and finalises them when it
// closes; InitFrame and DoneFrame walk the frames a frame owns.
#pragma once

#include "toolkit/ComponentOwner.h"
#include "toolkit/Control.h"

namespace cv {

class TMyFrame : public TWinControl, public TComponentOwner {
public:
    TMyFrame(TWinControl* parent, std::string name);
    ~TMyFrame() override;

    // Runs after the frames it owns were finalised.
    virtual void AfterDone() {}
    // Runs before the frames it owns are initialised.
    virtual void BeforeInit() {}
    // Runs after the frames it owns were initialised.
    virtual void Init() {}
    // Runs before the frames it owns are finalised.
    virtual void Done() {}
};

void InitFrame(TMyFrame& frame);
void DoneFrame(TMyFrame& frame);

} // namespace cv

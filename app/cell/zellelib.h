#pragma once

#include <QByteArray>

#include <cstdint>
#include <memory>

namespace vellora {

// The five calls the cell screen makes into libzelle, behind one small interface so that the
// screen's reactions can be driven by a scripted library in tests. The program itself always
// uses realZelleLibrary().
class ZelleLibrary
{
  public:
    virtual ~ZelleLibrary() = default;
    virtual void Init(std::uintptr_t window, const QByteArray &folder) = 0;
    virtual void Viewport(bool overview, int x, int y, int width, int height) = 0;
    virtual int Render(int x, int y) = 0;
    virtual int Action(int code, int a, int b) = 0;
};

// Forwards to the exported C functions of libzelle.
std::unique_ptr<ZelleLibrary> realZelleLibrary();

} // namespace vellora

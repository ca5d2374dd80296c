#include "zellelib.h"

#include "zelle.h"

namespace vellora {

namespace {

class RealZelleLibrary final : public ZelleLibrary
{
  public:
    void Init(std::uintptr_t window, const QByteArray &folder) override
    {
        Zelle_Init(window, folder.constData());
    }
    void Viewport(bool overview, int x, int y, int width, int height) override
    {
        Zelle_Viewport(overview, x, y, width, height);
    }
    int Render(int x, int y) override { return Zelle_Render(x, y); }
    int Action(int code, int a, int b) override { return Zelle_Action(code, a, b); }
};

} // namespace

std::unique_ptr<ZelleLibrary> realZelleLibrary()
{
    return std::make_unique<RealZelleLibrary>();
}

} // namespace vellora

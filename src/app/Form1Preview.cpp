// The preview of the clicked list entry.
#include "app/Form1.h"

#include "preview/Preview.h"

void TForm1::ListBox1Click()
{
    // The loading clip runs by itself while the decoding blocks this thread.
    Animate1.SetActive(true);
    Animate1.SetVisible(true);
    Animate1.Play(1, 10, 2);
    UpdateWindow(Animate1.Handle());

    // Whatever happens below, the clip stops and goes.
    struct ClipGuard {
        ui::Animate& clip;
        ~ClipGuard()
        {
            clip.Stop();
            clip.SetActive(false);
            clip.SetVisible(false);
        }
    } stopClip{Animate1};

    const ui::Bounds& area = Image2.GetBounds();
    WithSelectedFile([&](const std::string& path) {
        Image2.SetPicture(preview::LoadPreview(path, area.width, area.height));
        previewFile_ = path;
    });
}

// OpenGL drawing into an image: a context of its own on an offscreen surface,
// rendering into a frame buffer object that is read back afterwards.
#include "platform/qt/qt_internal.h"

#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QOpenGLFramebufferObject>
#include <QOpenGLFunctions>

namespace {

// Restores whatever context was current before, on every way out.
class ContextGuard {
public:
    ContextGuard() : context_(QOpenGLContext::currentContext()), surface_(context_ ? context_->surface() : nullptr) {}
    ~ContextGuard() {
        if (context_ && surface_) context_->makeCurrent(surface_);
    }
    ContextGuard(const ContextGuard&) = delete;
    ContextGuard& operator=(const ContextGuard&) = delete;

private:
    QPointer<QOpenGLContext> context_;
    QSurface* surface_;
};

constexpr int MAX_SIDE = 8192;
constexpr unsigned GL_RGB8_FORMAT = 0x8051;   // no alpha: the picture is opaque whatever the clear alpha

}  // namespace

bool kvqt::gl_available() {
    static const bool available = [] {
        QOpenGLContext probe;
        probe.setFormat(gl_format());
        return probe.create();
    }();
    return available;
}

std::optional<Image> QtBackend::render_gl_offscreen(int width, int height, GLEvents& events) {
    if (width <= 0 || height <= 0 || width > MAX_SIDE || height > MAX_SIDE || !kvqt::gl_available())
        return std::nullopt;
    ContextGuard restore;
    QOffscreenSurface surface;
    surface.setFormat(kvqt::gl_format());
    surface.create();
    if (!surface.isValid()) return std::nullopt;
    QOpenGLContext context;
    context.setFormat(kvqt::gl_format());
    if (!context.create() || !context.makeCurrent(&surface)) return std::nullopt;
    std::optional<Image> result;
    {
        QOpenGLFramebufferObjectFormat format;
        format.setAttachment(QOpenGLFramebufferObject::CombinedDepthStencil);
        format.setInternalTextureFormat(GL_RGB8_FORMAT);
        QOpenGLFramebufferObject fbo(width, height, format);
        if (fbo.isValid() && fbo.bind()) {
            QOpenGLFunctions* gl = context.functions();
            gl->glViewport(0, 0, width, height);
            kvqt::guarded("offscreen gl", [&] {
                events.gl_init();
                events.gl_resize(width, height);
                events.gl_paint();
            });
            gl->glFinish();
            result = kvqt::image_of(fbo.toImage());
            fbo.release();
        }
    }
    context.doneCurrent();
    return result;
}

// OpenGL drawing into an image: a context of its own on an offscreen surface,
// rendering into a frame buffer object that is read back afterwards; the
// OpenGL client window, which shows such a picture; and the client's host
// with its scroll bars.
#include "platform/qt/qt_internal.h"

#include <QGridLayout>
#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QOpenGLFramebufferObject>
#include <QOpenGLFunctions>
#include <QPaintEvent>
#include <QResizeEvent>

#include <cmath>

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

bool QtBackend::opengl_available() const { return kvqt::gl_available(); }

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

// ---------------------------------------------------------------------------
// The OpenGL client

using kvqt::GLClientWidget;

GLClientWidget::GLClientWidget(GLEvents* e, QWidget* parent)
    : QWidget(parent), events(e), input(dynamic_cast<ClientEvents*>(e)) {
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);   // the picture covers the whole client
}

GLClientWidget::~GLClientWidget() { release_context(); }

void GLClientWidget::release_context() {
    if (!context_) return;
    ContextGuard restore;
    if (surface_ && context_->makeCurrent(surface_.get())) {
        fbo_.reset();
        context_->doneCurrent();
    }
    // A frame buffer of a context that cannot be made current is left to it.
    (void)fbo_.release();
    context_.reset();
    surface_.reset();
}

bool GLClientWidget::event(QEvent* e) {
    if (input && forward_input(input, this, e)) return true;
    return QWidget::event(e);
}

void GLClientWidget::resizeEvent(QResizeEvent* e) {
    QWidget::resizeEvent(e);
    scene_dirty_ = true;
    if (input) guarded("size", [&] { input->on_size(width(), height()); });
}

void GLClientWidget::draw_scene(const QSize& device) {
    scene_dirty_ = false;
    if (failed_ || !events || device.isEmpty() || device.width() > MAX_SIDE || device.height() > MAX_SIDE ||
        !gl_available())
        return;
    ContextGuard restore;
    if (!context_) {
        surface_ = std::make_unique<QOffscreenSurface>();
        surface_->setFormat(gl_format());
        surface_->create();
        context_ = std::make_unique<QOpenGLContext>();
        context_->setFormat(gl_format());
        if (!surface_->isValid() || !context_->create()) {
            failed_ = true;
            std::fputs("Korvane: an OpenGL context cannot be made; the view stays empty\n", stderr);
            context_.reset();
            surface_.reset();
            return;
        }
    }
    if (!context_->makeCurrent(surface_.get())) return;
    if (!fbo_ || fbo_->size() != device) {
        fbo_.reset();
        QOpenGLFramebufferObjectFormat format;
        format.setAttachment(QOpenGLFramebufferObject::CombinedDepthStencil);
        format.setInternalTextureFormat(GL_RGB8_FORMAT);
        fbo_ = std::make_unique<QOpenGLFramebufferObject>(device, format);
    }
    if (fbo_->isValid() && fbo_->bind()) {
        QOpenGLFunctions* gl = context_->functions();
        gl->glViewport(0, 0, device.width(), device.height());
        guarded("gl paint", [&] {
            if (!initialised_) {
                initialised_ = true;
                events->gl_init();
            }
            if (resized_ != device) {
                resized_ = device;
                events->gl_resize(device.width(), device.height());
            }
            events->gl_paint();
        });
        gl->glFinish();
        scene_ = fbo_->toImage().convertToFormat(QImage::Format_RGB32);
        scene_.setDevicePixelRatio(devicePixelRatioF());
        fbo_->release();
    }
    context_->doneCurrent();
}

void GLClientWidget::paintEvent(QPaintEvent* e) {
    if (held.paint(*this)) return;
    const double ratio = devicePixelRatioF();
    const QSize device(static_cast<int>(std::ceil(width() * ratio)), static_cast<int>(std::ceil(height() * ratio)));
    if (scene_dirty_ || scene_.size() != device) draw_scene(device);
    QPainter painter(this);
    if (scene_.size() == device)
        painter.drawImage(QPoint(0, 0), scene_);
    else
        painter.fillRect(rect(), Qt::white);
    if (!input) return;
    QtSurface surface(painter, width(), height(), logicalDpiX(), logicalDpiY());
    Rect dirty = rect_of(e->rect());
    guarded("paint", [&] { input->on_paint(surface, dirty); });
}

QImage GLClientWidget::picture() {
    return grab().toImage();
}

// ---------------------------------------------------------------------------
// A client with scroll bars

using kvqt::ClientHost;

ClientHost::ClientHost(QWidget* parent) : QWidget(parent) {
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setSpacing(0);
    for (int i = 0; i < 2; ++i) {
        const ScrollBarKind kind = i == 0 ? ScrollBarKind::Horizontal : ScrollBarKind::Vertical;
        QScrollBar* bar = new QScrollBar(i == 0 ? Qt::Horizontal : Qt::Vertical, this);
        bar->setObjectName(i == 0 ? "horizontal_scroll_bar" : "vertical_scroll_bar");
        bar->hide();
        bars_[i] = bar;
        if (i == 0) grid->addWidget(bar, 1, 0);
        else grid->addWidget(bar, 0, 1);
        // The program moves the thumb itself: an action only tells it what
        // the user did, and the bar's own step is put back. A move of the
        // thumb that is no drag (the wheel over the bar, a jump to a click)
        // is a thumb let go at once.
        QObject::connect(bar, &QAbstractSlider::actionTriggered, this, [this, bar, kind, i](int action) {
            ScrollCode code = ScrollCode::EndScroll;
            switch (action) {
            case QAbstractSlider::SliderSingleStepSub: code = ScrollCode::LineUp; break;
            case QAbstractSlider::SliderSingleStepAdd: code = ScrollCode::LineDown; break;
            case QAbstractSlider::SliderPageStepSub: code = ScrollCode::PageUp; break;
            case QAbstractSlider::SliderPageStepAdd: code = ScrollCode::PageDown; break;
            case QAbstractSlider::SliderMove:
                code = bar->isSliderDown() ? ScrollCode::ThumbTrack : ScrollCode::ThumbPosition;
                break;
            case QAbstractSlider::SliderToMinimum:
            case QAbstractSlider::SliderToMaximum: code = ScrollCode::ThumbPosition; break;
            default: return;
            }
            const int position = bar->sliderPosition();
            if (code != ScrollCode::ThumbTrack) bar->setSliderPosition(states_[i].position);
            if (events) guarded("scroll", [&] { events->on_scroll(kind, code, position); });
        });
        QObject::connect(bar, &QAbstractSlider::sliderReleased, this, [this, bar, kind] {
            const int position = bar->sliderPosition();
            if (events) guarded("scroll", [&] { events->on_scroll(kind, ScrollCode::ThumbPosition, position); });
        });
    }
}

void ClientHost::set_client(QWidget* client, ClientEvents* e) {
    events = e;
    static_cast<QGridLayout*>(layout())->addWidget(client, 0, 0);
    setFocusProxy(client);
}

void ClientHost::set_bar(ScrollBarKind kind, const ScrollBarState& state) {
    const int i = kind == ScrollBarKind::Vertical ? 1 : 0;
    states_[i] = state;
    QScrollBar* bar = bars_[i];
    const QSignalBlocker quiet(bar);
    const int page = std::max(0, state.page);
    bar->setRange(state.minimum, std::max(state.minimum, state.maximum - page));
    bar->setPageStep(std::max(1, page));
    bar->setSingleStep(std::max(1, page / 40));
    bar->setValue(state.position);
    bar->setSliderPosition(state.position);
    bar->setVisible(state.visible);
}

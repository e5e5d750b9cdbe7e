// Late creation of the global shared OpenGL context.
#include "platform/GraphicsContext.h"

#include <QCoreApplication>
#include <QOpenGLContext>
#include <QSurfaceFormat>

// Exported by QtGui (declared in its private headers): the context that
// Qt::AA_ShareOpenGLContexts would have made at start-up.
Q_GUI_EXPORT QOpenGLContext *qt_gl_global_share_context();
Q_GUI_EXPORT void qt_gl_set_global_share_context(QOpenGLContext *context);

void EnsureSharedGraphicsContext()
{
    if (qt_gl_global_share_context())
        return;
    // The browser engine also checks the attribute; set late, it only makes Qt say so once.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    auto *context = new QOpenGLContext(QCoreApplication::instance());
    context->setFormat(QSurfaceFormat::defaultFormat());
    context->create();
    qt_gl_set_global_share_context(context);
}

// Late creation of the global shared OpenGL context.
#include "platform/GraphicsContext.h"

#include <QCoreApplication>
#include <QOpenGLContext>
#include <QSurfaceFormat>

// Exported by QtGui, declared only in its private headers. Qt offers no public way to give a
// running application its shared context: the public one, Qt::AA_ShareOpenGLContexts, must be set
// before the application exists and then makes the context at once.
Q_GUI_EXPORT void qt_gl_set_global_share_context(QOpenGLContext *context);

void EnsureSharedGraphicsContext()
{
    if (QOpenGLContext::globalShareContext())
        return;
    // The engine needs only the context; setting the attribute this late would just make Qt warn.
    auto *context = new QOpenGLContext(QCoreApplication::instance());
    context->setFormat(QSurfaceFormat::defaultFormat());
    context->create();
    qt_gl_set_global_share_context(context);
}

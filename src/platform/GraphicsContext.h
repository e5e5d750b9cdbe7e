// The process-wide shared OpenGL context the browser engine needs, made only when it is needed.
#pragma once

/// Creates the global shared OpenGL context if there is none yet, without a word on the console.
/// The browser engine requires it; made at start-up (Qt::AA_ShareOpenGLContexts) it would load
/// the whole OpenGL driver, about 50 MB, into a ticker that may never open a chart.
void EnsureSharedGraphicsContext();

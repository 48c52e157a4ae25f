// Main of every test binary: a private TMPDIR per process, then the Qt application object.

#include "testsupport.h"

#include <gtest/gtest.h>

#ifdef QV_TEST_GUI
#include <QApplication>
#include <QSurfaceFormat>
#include <QVTKOpenGLNativeWidget.h>
#else
#include <QCoreApplication>
#endif

int main(int argc, char **argv)
{
    const std::string tmp = testsupport::setup_private_tmpdir();
    testing::InitGoogleTest(&argc, argv);
#ifdef QV_TEST_GUI
    QSurfaceFormat::setDefaultFormat(QVTKOpenGLNativeWidget::defaultFormat());
    QApplication app(argc, argv);
#else
    QCoreApplication app(argc, argv);
#endif
    const int rc = RUN_ALL_TESTS();
    testsupport::cleanup_private_tmpdir(tmp);
    return rc;
}

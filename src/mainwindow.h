#pragma once

#include <QMainWindow>
#include <vtkGenericOpenGLRenderWindow.h>
#include <vtkRenderer.h>
#include <vtkSmartPointer.h>


namespace Ui {
class MainWindow;
}

// The one top-level window. Created by instance() on first use and never deleted.
class MainWindow : public QMainWindow {
    Q_OBJECT

public:
    static MainWindow *instance();

    vtkRenderer *renderer() const { return renderer_; }

private:
    explicit MainWindow(QWidget *parent = nullptr);
    ~MainWindow() override;

    Ui::MainWindow *ui;
    vtkSmartPointer<vtkGenericOpenGLRenderWindow> renderWindow_;
    vtkSmartPointer<vtkRenderer> renderer_;
};

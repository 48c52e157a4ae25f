#include "mainwindow.h"

#include "ui_mainwindow.h"

#include <vtkGenericOpenGLRenderWindow.h>
#include <vtkRenderer.h>

MainWindow *MainWindow::instance()
{
    static MainWindow *window = new MainWindow(nullptr);
    return window;
}

MainWindow::MainWindow(QWidget *parent)
    : QMainWindow(parent), ui(new Ui::MainWindow)
{
    ui->setupUi(this);
    renderWindow_ = vtkSmartPointer<vtkGenericOpenGLRenderWindow>::New();
    renderer_ = vtkSmartPointer<vtkRenderer>::New();
    renderer_->SetBackground(0.0, 0.0, 0.0);
    renderWindow_->AddRenderer(renderer_);
    ui->qvtkWidget->setRenderWindow(renderWindow_);
}

MainWindow::~MainWindow()
{
    delete ui;
}

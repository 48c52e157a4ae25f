#include "algorithmbox.h"

#include "algorithmboxproc.h"
#include "page_box.h"

AlgorithmBox::AlgorithmBox() : QObject(nullptr)
{
    register_zone_meta_types();
}

AlgorithmBox::~AlgorithmBox()
{
    // The thread ends within a second and deletes itself; the window stays.
    if (proc_)
        proc_->stop();
}

AlgorithmBoxProc *AlgorithmBox::commandThread() const
{
    return proc_;
}

void AlgorithmBox::show()
{
    AlgorithmBoxProc *fresh = nullptr;
    if (!proc_started_) {
        proc_started_ = true;
        fresh = new AlgorithmBoxProc;
        connect(fresh, &QThread::finished, fresh, &QObject::deleteLater);
        proc_ = fresh;
    }
    if (page_ == nullptr) {
        page_ = new Page_Box(nullptr);
        connect(page_, &Page_Box::sig_start, this, &AlgorithmBox::sig_start);
        connect(page_, &Page_Box::sig_zoneData, this, &AlgorithmBox::sig_zoneData);
        if (proc_)
            connect(proc_.data(), &AlgorithmBoxProc::sig_BoxMSG, page_, &Page_Box::recv_BoxMSG);
        page_->setProc(proc_);
    }
    // Started once the window listens: a port that fails to open at once is still reported.
    if (fresh != nullptr)
        fresh->start(QThread::InheritPriority);
    page_->show();
}

void AlgorithmBox::setBoxInfo(BoxHeartbeat info)
{
    if (page_ == nullptr)
        show();
    page_->setBoxInfo(info);
}

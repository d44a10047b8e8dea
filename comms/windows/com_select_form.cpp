#include "comms/windows/com_select_form.h"

#include "comms/com_port_map.h"
#include "platform/atomic_file.h"

#include <QComboBox>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <fstream>
#include <iterator>

namespace korval {

TComSelectForm::TComSelectForm(QWidget* parent, const std::string& devFolder) : QDialog(parent)
{
    setWindowTitle("Select Port");
    setModal(true);
    Bevel1 = new QFrame(this);
    Bevel1->setFrameShape(QFrame::StyledPanel);
    Label1 = new QLabel("The configured serial port is not valid.", Bevel1);
    Label2 = new QLabel("Please choose another port.", Bevel1);
    auto* bevelLayout = new QVBoxLayout(Bevel1);
    bevelLayout->addWidget(Label1);
    bevelLayout->addWidget(Label2);
    PortsComboBox = new QComboBox(this);
    OkBtn = new QPushButton("OK", this);
    OkBtn->setDefault(true);
    AbortBtn = new QPushButton("Cancel", this);
    connect(OkBtn, &QPushButton::clicked, this, &QDialog::accept);
    connect(AbortBtn, &QPushButton::clicked, this, &QDialog::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(OkBtn);
    buttons->addWidget(AbortBtn);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Bevel1);
    layout->addWidget(PortsComboBox);
    layout->addLayout(buttons);
    FormCreate(devFolder);
}

void TComSelectForm::FormCreate(const std::string& devFolder)
{
    choices_ = ListSerialPorts(devFolder);
    for (const TPortChoice& c : choices_) {
        QString text = QString("COM%1").arg(c.number);
        if (c.unmapped)
            text += QString(" (%1)").arg(QString::fromStdString(c.path));
        PortsComboBox->addItem(text);
    }
    if (!choices_.empty())
        PortsComboBox->setCurrentIndex(0);
    // Nothing to choose: OK would return no port at all.
    OkBtn->setEnabled(!choices_.empty());
}

int TComSelectForm::ChosenNumber()
{
    int i = PortsComboBox->currentIndex();
    if (i < 0 || i >= static_cast<int>(choices_.size()))
        return 0;
    const TPortChoice& c = choices_[static_cast<std::size_t>(i)];
    std::string folder = TComPortMap::Folder();
    if (c.unmapped && !folder.empty()) {
        std::string file = folder + "/" + kComPortMapName;
        std::ifstream in(file, std::ios::binary);
        std::string text((std::istreambuf_iterator<char>(in)), {});
        AtomicFile out(file);
        out.write(MapTextWith(text, c.number, c.path));
        out.commit();
    }
    return c.number;
}

} // namespace korval

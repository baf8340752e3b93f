#include "gui/general_page.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "app/disc_session.h"
#include "app/general_settings.h"
#include "cdaccess/read_offset.h"
#include "rip/output_formats.h"
#include "settings/settings_loaders.h"
#include "settings/settings_savers.h"

namespace lumbra::gui {
namespace {

QString qs(std::string_view text) {
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

std::string str(const QString& text) {
    return text.toStdString();
}

QString browseForFolder(QWidget* parent) {
    return QFileDialog::getExistingDirectory(parent, "选择一个输出文件夹", QString(),
                                             QFileDialog::ShowDirsOnly);
}

}  // namespace

GeneralPage::GeneralPage(const PageContext& context, QWidget* parent)
    : SettingsPage(context, parent), chooseFolder(browseForFolder) {
    auto* layout = new QGridLayout(this);
    layout->addWidget(buildTagGroup(), 0, 0, 3, 1);
    layout->addWidget(buildOutputGroup(), 0, 1);
    layout->addWidget(buildJitterGroup(), 1, 1);
    layout->addWidget(buildOffsetGroup(), 2, 1);
    layout->setColumnStretch(1, 1);
    layout->setRowStretch(3, 1);
}

QWidget* GeneralPage::buildTagGroup() {
    auto* group = new QGroupBox("共用 ID3 标签");
    tagSwitch_ = new QCheckBox("使用 ID3 标签");
    tagSwitch_->setObjectName("tagSwitch");
    artist_ = new QLineEdit;
    artist_->setObjectName("artist");
    album_ = new QLineEdit;
    album_->setObjectName("album");
    genre_ = new QComboBox;
    genre_->setObjectName("genre");
    for (std::string_view name : genreListNames()) genre_->addItem(qs(name));
    genre_->setMaxVisibleItems(16);
    year_ = new QLineEdit;
    year_->setObjectName("year");
    comment_ = new QLineEdit;
    comment_->setObjectName("comment");
    auto* form = new QFormLayout(group);
    form->addRow(tagSwitch_);
    form->addRow("艺人:", artist_);
    form->addRow("专辑:", album_);
    form->addRow("流派:", genre_);
    form->addRow("年份:", year_);
    form->addRow("注释:", comment_);
    return group;
}

QWidget* GeneralPage::buildOutputGroup() {
    auto* group = new QGroupBox("输出格式:");
    overwrite_ = new QCheckBox("同名时覆盖音轨");
    overwrite_->setObjectName("overwrite");
    antiCrackle_ = new QCheckBox("防止噪音");
    antiCrackle_->setObjectName("antiCrackle");
    replayGain_ = new QCheckBox("写入 ReplayGain 标签");
    replayGain_->setObjectName("replayGain");
    testAndCopy_ = new QCheckBox("测试并复制");
    testAndCopy_->setObjectName("testAndCopy");
    testAndCopy_->setToolTip("每条音轨读取两次，比较两次读取的 CRC");
    ejectAfterRip_ = new QCheckBox("完成后弹出光盘");
    ejectAfterRip_->setObjectName("ejectAfterRip");
    ejectAfterRip_->setToolTip("所有勾选的音轨都写入成功后打开光驱托盘");
    folder_ = new QLineEdit;
    folder_->setObjectName("folder");
    auto* browse = new QPushButton(">>");
    browse->setObjectName("browse");
    browse->setAutoDefault(false);
    template_ = new QComboBox;
    template_->setObjectName("template");
    template_->setEditable(true);
    template_->setInsertPolicy(QComboBox::NoInsert);
    example_ = new QLineEdit;
    example_->setObjectName("example");
    example_->setReadOnly(true);
    const QString widest =
        QString::fromStdString(templateExample("", kBuiltInTemplates[0], ".flac"));
    example_->setMinimumWidth(example_->fontMetrics().horizontalAdvance(widest) +
                              example_->fontMetrics().averageCharWidth() * 4);

    auto* switches = new QHBoxLayout;
    switches->addWidget(overwrite_);
    switches->addWidget(antiCrackle_);
    switches->addWidget(replayGain_);
    switches->addWidget(testAndCopy_);
    switches->addWidget(ejectAfterRip_);
    switches->addStretch();
    auto* folderRow = new QHBoxLayout;
    folderRow->addWidget(folder_);
    folderRow->addWidget(browse);
    auto* form = new QFormLayout(group);
    form->addRow(switches);
    form->addRow("输出文件夹:", folderRow);
    form->addRow("文件名格式:", template_);
    form->addRow("示例:", example_);

    connect(overwrite_, &QCheckBox::clicked, this, [this](bool on) { settings().overwrite = on; });
    connect(antiCrackle_, &QCheckBox::clicked, this,
            [this](bool on) { settings().antiCrackle = on; });
    connect(replayGain_, &QCheckBox::clicked, this,
            [this](bool on) { settings().replayGain = on; });
    connect(testAndCopy_, &QCheckBox::clicked, this,
            [this](bool on) { settings().testAndCopy = on; });
    connect(ejectAfterRip_, &QCheckBox::clicked, this,
            [this](bool on) { settings().ejectAfterRip = on; });
    connect(browse, &QPushButton::clicked, this, &GeneralPage::chooseOutputFolder);
    connect(template_, &QComboBox::currentTextChanged, this, &GeneralPage::templateChanged);
    connect(folder_, &QLineEdit::textChanged, this, &GeneralPage::showExample);
    return group;
}

QWidget* GeneralPage::buildJitterGroup() {
    auto* group = new QGroupBox("抖动校正");
    jitterAlways_ = new QRadioButton("总是");
    jitterAlways_->setObjectName("jitterAlways");
    jitterNever_ = new QRadioButton("从不");
    jitterNever_->setObjectName("jitterNever");
    jitterOnErrors_ = new QRadioButton("有错误时");
    jitterOnErrors_->setObjectName("jitterOnErrors");
    auto* apply = new QPushButton("应用(&P)");
    apply->setObjectName("apply");
    apply->setToolTip("应用更改");
    apply->setAutoDefault(false);
    apply->setIcon(QIcon(":/icons/apply.svg"));
    auto* layout = new QHBoxLayout(group);
    layout->addWidget(jitterAlways_);
    layout->addWidget(jitterNever_);
    layout->addWidget(jitterOnErrors_);
    layout->addStretch();
    layout->addWidget(apply);

    connect(jitterAlways_, &QRadioButton::clicked, this, [this] { setJitterMode(kJitterAlways); });
    connect(jitterNever_, &QRadioButton::clicked, this, [this] { setJitterMode(kJitterNever); });
    connect(jitterOnErrors_, &QRadioButton::clicked, this,
            [this] { setJitterMode(kJitterOnErrors); });
    connect(apply, &QPushButton::clicked, this, &GeneralPage::apply);
    return group;
}

QWidget* GeneralPage::buildOffsetGroup() {
    auto* group = new QGroupBox("读取偏移");
    readOffset_ = new QSpinBox;
    readOffset_->setObjectName("readOffset");
    readOffset_->setRange(-kMaxReadOffset, kMaxReadOffset);
    readOffset_->setSuffix(" 个采样");
    readOffset_->setToolTip("此型号光驱的读取偏移");
    detectOffset_ = new QPushButton("检测偏移(&F)");
    detectOffset_->setObjectName("detectOffset");
    detectOffset_->setAutoDefault(false);
    offsetSearch_ = new QLabel;
    offsetSearch_->setObjectName("offsetSearch");
    auto* layout = new QHBoxLayout(group);
    layout->addWidget(new QLabel("读取偏移:"));
    layout->addWidget(readOffset_);
    layout->addWidget(detectOffset_);
    layout->addWidget(offsetSearch_);
    layout->addStretch();

    connect(readOffset_, &QSpinBox::valueChanged, this, &GeneralPage::offsetEdited);
    connect(detectOffset_, &QPushButton::clicked, this, &GeneralPage::detectOffset);
    return group;
}

void GeneralPage::showReadOffset() {
    const std::string model = driveModel();
    const auto found = settings().readOffsets.find(model);
    const QSignalBlocker quiet(readOffset_);
    readOffset_->setValue(found == settings().readOffsets.end() ? 0 : found->second);
    readOffset_->setEnabled(!model.empty());
    const bool searching = offsetSearchRunning();
    detectOffset_->setEnabled(!model.empty() && !searching);
    offsetSearch_->setText(searching ? session_status::kFindingOffset : "");
}

void GeneralPage::showEvent(QShowEvent* event) {
    showReadOffset();  // the drive box may have chosen another drive meanwhile
    showExample();     // and the rip page another default format
    SettingsPage::showEvent(event);
}

// Stored with the page's other settings, at apply.
void GeneralPage::offsetEdited(int offset) {
    const std::string model = driveModel();
    if (!model.empty()) settings().readOffsets[model] = offset;
}

void GeneralPage::detectOffset() {
    if (ripBusy() || !startOffsetSearch()) return;
    showReadOffset();
}

void GeneralPage::offsetSearchEnded(std::optional<int32_t> chosen) {
    const std::string model = driveModel();
    if (chosen && !model.empty()) {
        settings().readOffsets[model] = *chosen;
        saveReadOffset(store(), settings(), model);
    }
    showReadOffset();
}

void GeneralPage::load() {
    loadGeneralSettings(store(), settings(), programHome());
    {
        const QSignalBlocker quiet(template_);
        for (std::string_view name : kBuiltInTemplates) template_->addItem(qs(name));
        template_->setEditText(QString::fromStdString(settings().namingTemplate));
    }
    templateChanged(template_->currentText());
    folder_->setText(QString::fromStdString(settings().outputFolder));
    tagSwitch_->setChecked(settings().id3Enable);
    overwrite_->setChecked(settings().overwrite);
    antiCrackle_->setChecked(settings().antiCrackle);
    replayGain_->setChecked(settings().replayGain);
    testAndCopy_->setChecked(settings().testAndCopy);
    ejectAfterRip_->setChecked(settings().ejectAfterRip);
    showReadOffset();
    DiscRecord startValues;
    startValues.year = "2003";
    showDisc(startValues);
    switch (settings().jitterMode) {
        case kJitterNever:
            jitterNever_->setChecked(true);
            break;
        case kJitterAlways:
            jitterAlways_->setChecked(true);
            break;
        default:
            jitterOnErrors_->setChecked(true);
    }
}

TagFields GeneralPage::tagFields() const {
    TagFields fields;
    fields.disc.artist = str(artist_->text());
    fields.disc.album = str(album_->text());
    fields.disc.year = str(year_->text());
    fields.disc.genre = genre_->currentIndex();
    fields.disc.comment = str(comment_->text());
    fields.tagSwitch = tagSwitch_->isChecked();
    fields.folder = str(folder_->text());
    return fields;
}

void GeneralPage::showDisc(const DiscRecord& disc) {
    artist_->setText(QString::fromStdString(disc.artist));
    album_->setText(QString::fromStdString(disc.album));
    year_->setText(QString::fromStdString(disc.year));
    genre_->setCurrentIndex(disc.genre);
    comment_->setText(QString::fromStdString(disc.comment));
}

void GeneralPage::templateChanged(const QString& text) {
    settings().namingTemplate = str(text);
    saveNamingTemplate(store(), settings());
    showExample();
}

// The folder as typed, before it is applied: the example shows what applying it would give.
void GeneralPage::showExample() {
    const OutputFormatEntry* format = findOutputFormat(outputFormats(), settings().defaultFormat);
    example_->setText(QString::fromStdString(templateExample(
        str(folder_->text()), settings().namingTemplate, format ? format->extension : "")));
}

void GeneralPage::chooseOutputFolder() {
    if (ripBusy()) return;
    const QString chosen = chooseFolder(this);
    if (chosen.isEmpty()) return;
    settings().outputFolder = storedOutputFolder(str(chosen));
    saveOutputFolder(store(), settings());
    folder_->setText(QString::fromStdString(settings().outputFolder));
}

void GeneralPage::setJitterMode(int32_t mode) {
    settings().jitterMode = mode;
    saveJitterMode(store(), settings());
}

// The tag switch reaches the record here too; the main window's commit copies it again before
// every refresh, rip and lookup.
void GeneralPage::apply() {
    settings().antiCrackle = antiCrackle_->isChecked();
    settings().replayGain = replayGain_->isChecked();
    settings().id3Enable = tagSwitch_->isChecked();
    settings().overwrite = overwrite_->isChecked();
    settings().testAndCopy = testAndCopy_->isChecked();
    settings().ejectAfterRip = ejectAfterRip_->isChecked();
    settings().outputFolder = storedOutputFolder(str(folder_->text()));
    saveGeneralSettings(store(), settings());
    if (const std::string model = driveModel(); !model.empty()) {
        settings().readOffsets[model] = readOffset_->value();
        saveReadOffset(store(), settings(), model);
    }
    folder_->setText(QString::fromStdString(settings().outputFolder));
}

}  // namespace lumbra::gui

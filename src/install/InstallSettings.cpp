#include "install/InstallSettings.h"

namespace kestrel::install {

std::string_view InstallStepText(InstallStep step) {
    switch (step) {
        case InstallStep::kCatalogue: return "获取版本列表";
        case InstallStep::kVersionJson: return "下载版本文件";
        case InstallStep::kAssetIndex: return "下载资源索引";
        case InstallStep::kChecksums: return "获取校验值";
        case InstallStep::kChecking: return "校验文件";
        case InstallStep::kFiles: return "下载文件";
        case InstallStep::kCopies: return "复制旧版资源";
        case InstallStep::kLoader: return "下载加载器";
        case InstallStep::kLoaderFiles: return "下载加载器文件";
        case InstallStep::kProcessors: return "运行安装步骤";
    }
    return "";
}

}  // namespace kestrel::install

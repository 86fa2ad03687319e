#include "backends/d3d12/software_device.h"

#include <stdint.h>
#include <string.h>

namespace {

// The few Vulkan declarations the check needs (no Vulkan headers for Windows here).
struct VulkanInstanceCreateInfo {
    uint32_t sType; // 1: VK_STRUCTURE_TYPE_INSTANCE_CREATE_INFO
    const void* next;
    uint32_t flags;
    const void* applicationInfo;
    uint32_t enabledLayerCount;
    const char* const* enabledLayerNames;
    uint32_t enabledExtensionCount;
    const char* const* enabledExtensionNames;
};
typedef struct VulkanInstance_T* VulkanInstance;
typedef struct VulkanPhysicalDevice_T* VulkanPhysicalDevice;
typedef int32_t (*CreateInstanceFn)(const VulkanInstanceCreateInfo*, const void*, VulkanInstance*);
typedef void (*DestroyInstanceFn)(VulkanInstance, const void*);
typedef int32_t (*EnumeratePhysicalDevicesFn)(VulkanInstance, uint32_t*, VulkanPhysicalDevice*);
typedef void (*GetPhysicalDevicePropertiesFn)(VulkanPhysicalDevice, void*);

// VkPhysicalDeviceProperties: apiVersion, driverVersion, vendorID, deviceID, then the
// device type; the whole record is well under 1 KiB.
const uint32_t kDeviceTypeOffset = 16;
const uint32_t kDeviceTypeCpu = 4;

bool underWine() {
    HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version");
}

// True when Vulkan has devices and every one of them is a CPU.
bool vulkanDevicesAreCpus() {
    HMODULE vulkan = LoadLibraryA("vulkan-1.dll");
    if (!vulkan) return false;
    CreateInstanceFn createInstance =
        reinterpret_cast<CreateInstanceFn>(reinterpret_cast<void*>(GetProcAddress(vulkan, "vkCreateInstance")));
    DestroyInstanceFn destroyInstance =
        reinterpret_cast<DestroyInstanceFn>(reinterpret_cast<void*>(GetProcAddress(vulkan, "vkDestroyInstance")));
    EnumeratePhysicalDevicesFn enumerate = reinterpret_cast<EnumeratePhysicalDevicesFn>(
        reinterpret_cast<void*>(GetProcAddress(vulkan, "vkEnumeratePhysicalDevices")));
    GetPhysicalDevicePropertiesFn properties = reinterpret_cast<GetPhysicalDevicePropertiesFn>(
        reinterpret_cast<void*>(GetProcAddress(vulkan, "vkGetPhysicalDeviceProperties")));
    bool cpus = false;
    VulkanInstance instance = nullptr;
    VulkanInstanceCreateInfo info = {1, nullptr, 0, nullptr, 0, nullptr, 0, nullptr};
    if (createInstance && destroyInstance && enumerate && properties &&
        createInstance(&info, nullptr, &instance) == 0) {
        VulkanPhysicalDevice devices[16];
        uint32_t count = 16;
        const int32_t listed = enumerate(instance, &count, devices); // 5: VK_INCOMPLETE, more than 16
        if ((listed == 0 || listed == 5) && count > 0) {
            cpus = true;
            alignas(8) uint8_t record[2048];
            for (uint32_t i = 0; i < count && cpus; ++i) {
                properties(devices[i], record);
                uint32_t type;
                memcpy(&type, record + kDeviceTypeOffset, sizeof(type));
                cpus = type == kDeviceTypeCpu;
            }
        }
        destroyInstance(instance, nullptr);
    }
    FreeLibrary(vulkan);
    return cpus;
}

} // namespace

bool deviceRunsOnTheCpu(IDXGIAdapter1* adapter) {
    if (adapter) {
        DXGI_ADAPTER_DESC1 description = {};
        if (SUCCEEDED(adapter->GetDesc1(&description)) && (description.Flags & DXGI_ADAPTER_FLAG_SOFTWARE)) return true;
    }
    return underWine() && vulkanDevicesAreCpus();
}

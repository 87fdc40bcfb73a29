#include "commandtable.h"

#include <QStringList>

namespace {

// Picture values are 0..100 around 50 unless noted; flags are 0/1.
const std::vector<ParamDef> kParams = {
    {"bright", 50, 0, 100}, // also the exposure compensation of the grouped commands
    {"contrast", 50, 0, 100},
    {"saturation", 50, 0, 100},
    {"hue", 50, 0, 100},
    {"sharpness", 50, 0, 100},
    {"gamma", 50, 0, 100},
    {"drc", 0, 0, 100},
    {"focus_mode", 0, -1, 2}, // 0 automatic, 1 manual, 2 one-shot, -1 no focus motor
    {"focus_value", 500, 0, 1000},
    {"focus_speed", 5, 1, 10},
    {"focusing", 0, 0, 1},
    {"ezoom_value", 0, 0, 100},
    {"dzoom_value", 0, 0, 100},
    {"ezoom_speed", 5, 1, 10},
    {"ezoom_mode", 0, 0, 2},
    {"expo_type", 0, 0, 1},              // 0 automatic, 1 manual
    {"shuttertime", 10000, 10, 1000000}, // microseconds
    {"a_gain", 0, 0, 100},
    {"awb", 0, 0, 0, "auto", "auto|manual"},
    {"wb_red", 128, 0, 255},
    {"wb_green", 128, 0, 255},
    {"wb_blue", 128, 0, 255},
    {"mirror", 0, 0, 1},
    {"flip", 0, 0, 1},
    {"flick", 0, 0, 1}, // 0: 50 Hz, 1: 60 Hz
    {"cac", 0, 0, 1},
    {"monochrome", 0, 0, 1},
    {"mode", 0, 0, 2}, // scene preset: default, biology, industry
    {"demist", 0, 0, 1},
    // Focus region, first form: a cell of the focus grid.
    {"roi", 0, 0, 1},
    {"roi_mode", 0, 0, 2},
    {"roi_x", 8, 0, 15},
    {"roi_y", 7, 0, 15},
    {"roi_big_x", 15, 0, 15},
    {"roi_big_y", 15, 0, 15},
    // Focus region, second form: a rectangle in sensor pixels.
    {"region", 0, 0, 1},
    {"region_x", 860, 0, 1920},
    {"region_y", 440, 0, 1080},
    {"region_width", 200, 16, 1920},
    {"region_height", 200, 16, 1080},
    // Ring light parts up, left, right, down.
    {"led0", 50, 0, 100},
    {"led1", 50, 0, 100},
    {"led2", 50, 0, 100},
    {"led3", 50, 0, 100},
    // Wired and wireless network settings are only kept, never applied.
    {"eth_dhcp", 0, 0, 1},
    {"eth_ip", 0, 0, 0, "$ip"},
    {"eth_gateway", 0, 0, 0, "127.0.0.1"},
    {"eth_netmask", 0, 0, 0, "255.0.0.0"},
    {"eth_dns1", 0, 0, 0, "127.0.0.1"},
    {"eth_dns2", 0, 0, 0, ""},
    {"eth_mac", 0, 0, 0, "$mac"},
    {"wl_dhcp", 1, 0, 1},
    {"wl_ip", 0, 0, 0, "192.168.10.1"},
    {"wl_gateway", 0, 0, 0, "192.168.10.1"},
    {"wl_netmask", 0, 0, 0, "255.255.255.0"},
    {"wl_dns1", 0, 0, 0, ""},
    {"wl_dns2", 0, 0, 0, ""},
    {"wl_mac", 0, 0, 0, "02:00:00:00:00:01"},
    {"wl_type", 0, 0, 2}, // 0 access point, 1 station, 2 both
    {"wl_net", 0, 0, 1},
    {"wl_ssid", 0, 0, 0, "LUMORA_AP"},
    {"wl_passwd", 0, 0, 0, "12345678"},
    {"wl_enc", 0, 0, 0, "wpa2"},
    {"wl_ap_ssid", 0, 0, 0, "LUMORA_AP"},
    {"wl_ap_passwd", 0, 0, 0, "12345678"},
    {"wl_sta_ssid", 0, 0, 0, ""},
    {"wl_sta_passwd", 0, 0, 0, ""},
};

#define IMAGE_FIELDS "bright contrast saturation hue sharpness focus_mode focus_value ezoom_value"
// The two firmwares name the white-balance gains differently: "gb" is green to the older one
// and blue to the newer one.
#define GAIN_FIELDS "r=wb_red gb=wb_green b=wb_blue"
#define GROUPED_GAIN_FIELDS "r=wb_red gr=wb_green gb=wb_blue"
#define ROI_FIELDS "roi roi_mode roi_x roi_y"
#define REGION_FIELDS "roi=region roi_x=region_x roi_y=region_y roi_width=region_width roi_height=region_height"
#define EXPOSURE_FIELDS "expo_type compensation=bright shuttertime a_gain"
#define WIRED_FIELDS                                                                                                   \
    "dhcp=eth_dhcp ip=eth_ip gateway=eth_gateway netmask=eth_netmask dns1=eth_dns1 dns2=eth_dns2 mac=eth_mac"
#define WIRELESS_IP_FIELDS                                                                                             \
    "dhcp=wl_dhcp ip=wl_ip gateway=wl_gateway netmask=wl_netmask dns1=wl_dns1 dns2=wl_dns2 mac=wl_mac"
#define WIRELESS_FIELDS                                                                                                \
    "type=wl_type net=wl_net ssid=wl_ssid passwd=wl_passwd enc=wl_enc ap_ssid=wl_ap_ssid ap_passwd=wl_ap_passwd "      \
    "sta_ssid=wl_sta_ssid sta_passwd=wl_sta_passwd"

using K = CommandKind;

const std::vector<CommandDef> kCommands = {
    // Per-topic commands of every firmware.
    {"system", K::Custom, "", false},
    {"stream", K::Custom, "", false},
    {"set_stream", K::Custom, "", false},
    {"open_stream", K::Get, "", false},
    {"default_stream", K::Custom, "", false},
    {"get_image", K::Get, IMAGE_FIELDS, false},
    {"set_image", K::Set, IMAGE_FIELDS, false},
    {"default_image", K::Defaults, IMAGE_FIELDS, false},
    {"img_meexposure", K::Get, "expo_type shuttertime a_gain", false},
    {"set_img_meexposure", K::Set, "expo_type shuttertime a_gain", false},
    {"default_img_meexposure", K::Defaults, "a_gain shuttertime", false},
    {"default_img_exposure", K::Defaults, EXPOSURE_FIELDS, false},
    {"img_awb", K::Get, "awb", false},
    {"set_img_awb", K::Set, "awb " GAIN_FIELDS, false},
    {"info_img_awb", K::Get, GAIN_FIELDS, false},
    {"default_img_awb", K::Defaults, "awb " GAIN_FIELDS, false},
    {"img_mirror_flip", K::Get, "mirror flip", false},
    {"set_img_mirror_flip", K::Set, "mirror flip", false},
    {"img_flick_hz", K::Get, "flick", false},
    {"set_img_flick_hz", K::Set, "flick", false},
    {"img_hdr_gamma", K::Get, "level=gamma", false},
    {"set_img_hdr_gamma", K::Set, "level=gamma", false},
    {"default_img_hdr_gamma", K::Defaults, "level=gamma", false},
    {"img_drc", K::Get, "drc", false},
    {"set_img_drc", K::Set, "drc", false},
    {"default_img_drc", K::Defaults, "drc", false},
    {"img_cac", K::Get, "cac", false},
    {"set_img_cac", K::Set, "cac", false},
    {"img_mode", K::Get, "mode", false},
    {"set_img_mode", K::Set, "mode", false},
    {"motor_demist", K::Get, "demist", false},
    {"set_motor_demist", K::Set, "demist", false},
    {"img_roi", K::Get, ROI_FIELDS, false},
    {"set_img_roi", K::Set, ROI_FIELDS, false},
    {"default_img_roi", K::Defaults, "roi_x roi_y roi_big_x roi_big_y", false},
    {"get_focus_region", K::Get, REGION_FIELDS, false},
    {"set_focus_region", K::Set, REGION_FIELDS, false},
    {"get_focus_state", K::Get, "focusing", false},
    {"get_motor_ability", K::Ability, "focus_value roi_x roi_y ezoom_value dzoom_value ezoom_speed", false},
    {"ipv4", K::Get, WIRED_FIELDS, false},
    {"set_ipv4", K::Set, WIRED_FIELDS, false},
    {"default_ipv4", K::Defaults, WIRED_FIELDS, false},
    {"wireless_ipv4", K::Get, WIRELESS_IP_FIELDS, false},
    {"set_wireless_ipv4", K::Set, WIRELESS_IP_FIELDS, false},
    {"default_wireless_ipv4", K::Defaults, WIRELESS_IP_FIELDS, false},
    {"wireless", K::Get, WIRELESS_FIELDS, false},
    {"set_wireless", K::Set, WIRELESS_FIELDS, false},
    {"default_wireless", K::Defaults, WIRELESS_FIELDS, false},
    {"status_upgrade", K::Custom, "", false},
    {"upgrade", K::Custom, "", false},

    // Grouped commands of the newer firmware.
    {"get_image_ability", K::Ability,
     "compensation=bright a_gain shuttertime contrast saturation hue sharpness gamma drc", true},
    {"get_image_bool", K::Get, "mirror flip flick cac monochrome", true},
    {"set_image_bool", K::Set, "mirror flip flick cac monochrome", true},
    {"get_image_value", K::Get, "contrast saturation hue sharpness gamma drc", true},
    {"set_image_value", K::Set, "contrast saturation hue sharpness gamma drc", true},
    {"get_exposure", K::Get, EXPOSURE_FIELDS, true},
    {"set_exposure", K::Set, EXPOSURE_FIELDS, true},
    {"get_focus", K::Get, "focus_mode focus_value", true},
    {"set_focus", K::Set, "focus_mode focus_value focus_speed", true},
    {"set_focus_relative", K::Custom, "", true},
    {"get_roi", K::Get, ROI_FIELDS, true},
    {"set_roi", K::Set, ROI_FIELDS, true},
    {"get_zoom", K::Get, "ezoom_value dzoom_value ezoom_speed", true},
    {"set_zoom", K::Set, "ezoom_value dzoom_value ezoom_speed ezoom_mode", true},
    {"get_white_balance", K::Get, "awb " GROUPED_GAIN_FIELDS, true},
    {"set_white_balance", K::Set, "awb " GROUPED_GAIN_FIELDS, true},
    {"get_motor_demist", K::Get, "demist", true},
    {"get_led_ability", K::Custom, "", true},
    {"get_led", K::Custom, "", true},
    {"set_led", K::Custom, "", true},
    {"set_leds", K::Set, "led0 led1 led2 led3", true},
    {"get_stream_ability", K::Custom, "", true},
    {"get_pic_ability", K::Custom, "", true},
    {"get_stream", K::Custom, "", true},
    {"get_ipv4", K::Get, WIRED_FIELDS, true},
    {"get_wireless_ipv4", K::Get, WIRELESS_IP_FIELDS, true},
    {"get_wireless", K::Get, WIRELESS_FIELDS, true},
};

} // namespace

const std::vector<ParamDef> &paramDefs()
{
    return kParams;
}

const ParamDef *findParam(const QString &key)
{
    for (const ParamDef &p : kParams)
        if (key == QLatin1String(p.key))
            return &p;
    return nullptr;
}

const std::vector<CommandDef> &commandDefs()
{
    return kCommands;
}

QVector<FieldMap> commandFields(const CommandDef &def)
{
    QVector<FieldMap> fields;
    const QStringList words = QString::fromLatin1(def.fields).split(' ', Qt::SkipEmptyParts);
    for (const QString &word : words) {
        const int eq = word.indexOf('=');
        FieldMap field;
        field.wire = eq < 0 ? word : word.left(eq);
        field.param = findParam(eq < 0 ? word : word.mid(eq + 1));
        Q_ASSERT_X(field.param, def.name, "command names an unknown value");
        if (field.param)
            fields.append(field);
    }
    return fields;
}

const QStringList &offeredStreamSizes()
{
    static const QStringList sizes{"1920*1080", "1280*720", "640*480"};
    return sizes;
}

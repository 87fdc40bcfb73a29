// Planar YUV to RGB with the picture corrections in one pass: flat-field, black balance,
// negative, then levels.
varying vec2 v_texCoords;

uniform sampler2D u_Texture0; // Y
uniform sampler2D u_Texture1; // U
uniform sampler2D u_Texture2; // V

uniform bool u_negative;
uniform float u_blackBalanceR;
uniform float u_blackBalanceG;
uniform float u_blackBalanceB;

uniform bool u_enableFFC;
uniform sampler2D u_ffcTexture;
uniform float u_ffcGlobalAverageR;
uniform float u_ffcGlobalAverageG;
uniform float u_ffcGlobalAverageB;

uniform bool u_histogramEnable;
uniform float u_histogramRLower;
uniform float u_histogramRUpper;
uniform float u_histogramGLower;
uniform float u_histogramGUpper;
uniform float u_histogramBLower;
uniform float u_histogramBUpper;

float stretch(float value, float lower, float upper)
{
    // Equal bounds make a step at the bound.
    if (upper == lower) {
        return value > lower ? 1.0 : 0.0;
    }
    return clamp((value - lower) / (upper - lower), 0.0, 1.0);
}

void main()
{
    float y = texture2D(u_Texture0, v_texCoords).r - 0.063;
    // Chroma is centred on byte 128, as in the CPU conversion.
    float u = texture2D(u_Texture1, v_texCoords).r - 128.0 / 255.0;
    float v = texture2D(u_Texture2, v_texCoords).r - 128.0 / 255.0;
    vec3 rgb = clamp(vec3(1.164 * y + 1.596 * v,
                          1.164 * y - 0.392 * u - 0.813 * v,
                          1.164 * y + 2.017 * u), 0.0, 1.0);
    if (u_enableFFC) {
        vec3 local = clamp(texture2D(u_ffcTexture, v_texCoords).rgb, 0.004, 1.0);
        vec3 average = vec3(u_ffcGlobalAverageR, u_ffcGlobalAverageG, u_ffcGlobalAverageB);
        // Clamped here too: a brightened channel must saturate before black balance, not after.
        rgb = min(rgb * (average / local), 1.0);
    }
    rgb = clamp(rgb - vec3(u_blackBalanceR, u_blackBalanceG, u_blackBalanceB), 0.0, 1.0);
    if (u_negative) {
        rgb = vec3(1.0) - rgb;
    }
    if (u_histogramEnable) {
        rgb = vec3(stretch(rgb.r, u_histogramRLower, u_histogramRUpper),
                   stretch(rgb.g, u_histogramGLower, u_histogramGUpper),
                   stretch(rgb.b, u_histogramBLower, u_histogramBUpper));
    }
    gl_FragColor = vec4(rgb, 1.0);
}

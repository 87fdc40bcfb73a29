// Glyph coverage turned into hard edges: only coverage near or above one half is drawn, so
// the text stays sharp at any scale.
varying vec2 TexCoords;
uniform sampler2D text;
uniform vec3 textColor;

void main()
{
    float coverage = texture2D(text, TexCoords).r;
    float alpha = smoothstep(0.5 - 0.01, 0.5 + 0.001, coverage);
    gl_FragColor = vec4(textColor, alpha);
}

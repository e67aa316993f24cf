rule Latin1
{
    meta:
        author = "René"
        city = "ZÃ¼rich"
    strings:
        $a = "café"
        $b = /naïve/
        $c = "â‚¬ euro"
    condition:
        any of them and "été" == "été"
}
